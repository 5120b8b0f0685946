#!/usr/bin/env bash
# Installs what is missing, builds, prepares the program's folder, starts the database server,
# then runs every test (all labels) and the unit tests of the sanitizer build. The exit code is
# the verdict.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

RELEASE="${ENDOMIRA_BUILD}/release"
SANITIZE="${ENDOMIRA_BUILD}/sanitize"

install_packages
configure_and_build "${RELEASE}" -DCMAKE_BUILD_TYPE=Release --
start_firebird
prepare_program_folder "${RELEASE}"

export XDG_RUNTIME_DIR="${ENDOMIRA_BUILD}/runtime"
mkdir -p -m 0700 "${XDG_RUNTIME_DIR}"

status=0
log "format check"
if ! ninja -C "${RELEASE}" format-check >"${ENDOMIRA_BUILD}/format-check.log" 2>&1; then
  grep -Eo '^/[^:]+' "${ENDOMIRA_BUILD}/format-check.log" | sort -u | sed 's/^/unformatted: /' >&2
  echo "clang-format finds unformatted files (ninja -C build/release format fixes them)" >&2
  status=1
fi

log "tests (release build)"
ctest --test-dir "${RELEASE}" --output-on-failure -j 2 || status=1

configure_and_build "${SANITIZE}" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DENDOMIRA_SANITIZE=ON \
  -DENDOMIRA_BUILD_BENCH=OFF --
log "unit tests (address and undefined-behaviour sanitizers)"
ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir "${SANITIZE}" --output-on-failure -L unit -j 2 || status=1

exit "${status}"

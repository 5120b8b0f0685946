#!/usr/bin/env bash
# Builds the release tree and runs the benchmarks, each repeated so that medians can be quoted.
#   scripts/bench.sh              every benchmark executable (bench_*)
#   scripts/bench.sh analysis     only bench_analysis; more names may follow
# Extra Google Benchmark flags go in BENCH_ARGS, e.g. BENCH_ARGS=--benchmark_filter=FindCenters.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

RELEASE="${ENDOMIRA_BUILD}/release"

install_packages
configure_and_build "${RELEASE}" -DCMAKE_BUILD_TYPE=Release --

names=("$@")
if [ "${#names[@]}" -eq 0 ]; then
  for exe in "${RELEASE}"/bench/*/bench_*; do
    [ -x "${exe}" ] && names+=("$(basename "${exe}" | sed 's/^bench_//')")
  done
fi

status=0
for name in "${names[@]}"; do
  exe="$(find "${RELEASE}/bench" -type f -name "bench_${name}" -perm -u+x | head -n 1)"
  [ -n "${exe}" ] || die "no benchmark bench_${name} in ${RELEASE}/bench"
  if [ "${name}" = persistence ]; then
    start_firebird
  fi
  log "bench_${name}"
  # shellcheck disable=SC2086
  "${exe}" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true ${BENCH_ARGS:-} \
    || status=1
done
exit "${status}"

#!/usr/bin/env bash
# Installs what is missing, builds, prepares the program's folder, starts the database server and
# runs the program. Without a display the program runs on a virtual screen: the script waits for
# its main window, saves a screenshot, closes the program and exits 0 (non-zero, with the
# program's message, when the program fails).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"

RELEASE="${ENDOMIRA_BUILD}/release"

install_packages
configure_and_build "${RELEASE}" -DCMAKE_BUILD_TYPE=Release -- endomira endomira-dbinit
start_firebird
prepare_program_folder "${RELEASE}"

PROGRAM="${ENDOMIRA_HOME}/endomira"

if [ -n "${DISPLAY:-}" ] && xdotool getdisplaygeometry >/dev/null 2>&1; then
  log "starting ${PROGRAM}"
  exec "${PROGRAM}"
fi

# No display: a virtual X server of the size of a clinic's screen.
work="$(mktemp -d)"
cleanup() {
  [ -n "${program_pid:-}" ] && kill "${program_pid}" 2>/dev/null || true
  [ -n "${xvfb_pid:-}" ] && kill "${xvfb_pid}" 2>/dev/null || true
  rm -rf "${work}"
}
trap cleanup EXIT

Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"${work}/display" 2>"${work}/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 1 100); do
  [ -s "${work}/display" ] && break
  sleep 0.1
done
[ -s "${work}/display" ] || { cat "${work}/xvfb.log" >&2; die "the virtual X server did not start"; }
export DISPLAY=":$(head -n 1 "${work}/display")"
export XDG_RUNTIME_DIR="${work}/runtime"
mkdir -m 0700 "${XDG_RUNTIME_DIR}"
log "no display: running the program on the virtual screen ${DISPLAY}"

QT_QPA_PLATFORM=xcb "${PROGRAM}" >"${work}/program.out" 2>"${work}/program.err" &
program_pid=$!

window=""
for _ in $(seq 1 300); do
  if ! kill -0 "${program_pid}" 2>/dev/null; then
    break
  fi
  # The main window, or a message box that the program shows when it cannot start.
  window="$(xdotool search --onlyvisible --name '^(Endomira|Erro|ERRO|Error)$' 2>/dev/null | head -n 1 || true)"
  [ -n "${window}" ] && break
  sleep 0.2
done

if [ -z "${window}" ]; then
  status=0
  if kill -0 "${program_pid}" 2>/dev/null; then
    kill "${program_pid}" 2>/dev/null || true
    status=1
    echo "the program did not open its main window within 60 s" >&2
  else
    wait "${program_pid}" || status=$?
  fi
  program_pid=""
  cat "${work}/program.out"
  cat "${work}/program.err" >&2
  [ "${status}" -eq 0 ] && status=1
  exit "${status}"
fi

sleep 1 # let the window paint
shot="${ENDOMIRA_BUILD}/endomira-screenshot.png"
import -display "${DISPLAY}" -window root "${shot}"
echo "screenshot: ${shot}"

if [ "$(xdotool getwindowname "${window}")" != "Endomira" ]; then
  kill "${program_pid}" 2>/dev/null || true
  wait "${program_pid}" 2>/dev/null || true
  program_pid=""
  cat "${work}/program.err" >&2
  die "the program could not start"
fi

kill -TERM "${program_pid}"
status=0
wait "${program_pid}" || status=$?
program_pid=""
cat "${work}/program.out"
if [ "${status}" -ne 0 ]; then
  cat "${work}/program.err" >&2
  die "the program ended with status ${status}"
fi

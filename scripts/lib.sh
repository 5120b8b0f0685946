# Shared set-up steps of run.sh, test.sh and bench.sh. Sourced, not run.
# shellcheck shell=bash

ENDOMIRA_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
ENDOMIRA_BUILD="${ENDOMIRA_ROOT}/build"
# The program's folder: the executable, endomira.ini, Database/ and the exam image folders.
ENDOMIRA_HOME="${ENDOMIRA_HOME:-${ENDOMIRA_BUILD}/endomira}"
# The database server's fixed account, as the program connects with it.
ENDOMIRA_DB_USER=SYSDBA
ENDOMIRA_DB_PASSWORD=kevrodmaz
ENDOMIRA_FB_PORT=3050
ENDOMIRA_FB_LOG="${ENDOMIRA_BUILD}/firebird.log"

# Everything the build, the program and its tests need, from Debian's archive.
ENDOMIRA_PACKAGES=(
  g++ cmake ninja-build ccache clang-format libgtest-dev libbenchmark-dev
  qt6-base-dev libqt6opengl6-dev qt6-charts-dev libqt6sql6-ibase
  firebird3.0-server firebird3.0-utils firebird-dev
  libv4l-dev
  xvfb xauth xdotool imagemagick fonts-dejavu-core poppler-utils
)

log() { printf '== %s\n' "$*" >&2; }
die() { printf 'error: %s\n' "$*" >&2; exit 1; }

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

install_packages() {
  local missing=() pkg installed
  # One query for the whole list: the names of the packages that are installed.
  installed=" $(dpkg-query -W -f='${Package} ${Status}\n' "${ENDOMIRA_PACKAGES[@]}" 2>/dev/null \
    | awk '$2 == "install" && $3 == "ok" && $4 == "installed" { printf "%s ", $1 }' || true)"
  for pkg in "${ENDOMIRA_PACKAGES[@]}"; do
    [[ "${installed}" == *" ${pkg} "* ]] || missing+=("$pkg")
  done
  if [ "${#missing[@]}" -eq 0 ]; then
    return 0
  fi
  log "installing ${missing[*]}"
  # The server package asks for the administrator's password; answer it up front.
  echo "firebird3.0-server shared/firebird/sysdba_password/first_install password ${ENDOMIRA_DB_PASSWORD}" \
    | as_root debconf-set-selections
  as_root env DEBIAN_FRONTEND=noninteractive apt-get update -q >/dev/null
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends \
    "${missing[@]}" >"${TMPDIR:-/tmp}/endomira-apt.log" 2>&1 \
    || { tail -n 30 "${TMPDIR:-/tmp}/endomira-apt.log" >&2; die "package installation failed"; }
}

# configure_and_build DIR [cmake arguments...] -- [ninja targets...]
configure_and_build() {
  local dir="$1"; shift
  local cmake_args=() targets=()
  while [ "$#" -gt 0 ] && [ "$1" != "--" ]; do cmake_args+=("$1"); shift; done
  [ "$#" -gt 0 ] && shift
  targets=("$@")
  local launcher=()
  if command -v ccache >/dev/null 2>&1; then
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  fi
  log "configuring ${dir#"${ENDOMIRA_ROOT}/"}"
  cmake -S "${ENDOMIRA_ROOT}" -B "${dir}" -G Ninja "${launcher[@]}" "${cmake_args[@]}" >/dev/null \
    || die "configuration of ${dir} failed"
  log "building ${dir#"${ENDOMIRA_ROOT}/"}${targets[*]:+ (${targets[*]})}"
  ninja -C "${dir}" "${targets[@]}" || die "build of ${dir} failed"
}

# The program's folder, laid out as an installation: the settings file is copied only when
# there is none, so that an installation's own values are never overwritten. The database server
# must be running: a folder without a database gets one with a few example records, so that a
# first start shows a working program (a clinic's installation runs endomira-dbinit without
# --examples); an existing database is never touched.
prepare_program_folder() {
  local release="$1"
  mkdir -p "${ENDOMIRA_HOME}/Database"
  install -m 0755 "${release}/src/shell/endomira" "${ENDOMIRA_HOME}/endomira"
  # The desktop entry and its icon; the entry starts the program in its own folder.
  install -m 0644 "${ENDOMIRA_ROOT}/share/endomira.svg" "${ENDOMIRA_HOME}/endomira.svg"
  sed "s|@ENDOMIRA_HOME@|${ENDOMIRA_HOME}|g" "${ENDOMIRA_ROOT}/share/endomira.desktop.in" \
    >"${ENDOMIRA_HOME}/endomira.desktop"
  if [ ! -f "${ENDOMIRA_HOME}/endomira.ini" ]; then
    cp "${ENDOMIRA_ROOT}/config/endomira.ini" "${ENDOMIRA_HOME}/endomira.ini"
  fi
  # The database server runs as its own user and must create and open files here.
  if id firebird >/dev/null 2>&1; then
    as_root chown -R firebird:firebird "${ENDOMIRA_HOME}/Database"
    open_path_to_server "${ENDOMIRA_HOME}"
  fi
  chmod 0775 "${ENDOMIRA_HOME}/Database"
  local database="${ENDOMIRA_HOME}/Database/Endomira.FDB"
  if [ ! -f "${database}" ]; then
    log "creating the program's database ${database#"${ENDOMIRA_ROOT}/"} with example records"
    "${release}/tools/endomira-dbinit/endomira-dbinit" "${database}" --examples \
      || die "could not create the program's database ${database}"
  fi
}

server_can_search() {
  as_root setpriv --reuid=firebird --regid=firebird --init-groups test -x "$1"
}

# The server's user must be able to pass through every folder above the database (a checkout
# under a private home folder would hide it): such folders get search permission only, never
# read or write.
open_path_to_server() {
  local path dir="" part
  path="$(cd "$1" && pwd -P)"
  # Reaching the folder itself needs search permission on every folder above it: once set,
  # the walk below has nothing to do.
  server_can_search "${path}" && return 0
  local IFS=/
  # From the top down, so that each folder is tested through parents already passable.
  for part in ${path#/}; do
    dir="${dir}/${part}"
    if ! server_can_search "${dir}"; then
      log "letting the database server pass through ${dir}"
      as_root chmod o+x "${dir}"
    fi
  done
}

firebird_port_open() {
  (exec 3<>"/dev/tcp/127.0.0.1/${ENDOMIRA_FB_PORT}") 2>/dev/null
}

firebird_password_ok() {
  fbsvcmgr "localhost:service_mgr" user "${ENDOMIRA_DB_USER}" password "${ENDOMIRA_DB_PASSWORD}" \
    info_server_version >/dev/null 2>&1
}

firebird_pids() {
  pgrep -x firebird || true
}

stop_firebird() {
  local pids pid i
  pids="$(firebird_pids)"
  [ -z "${pids}" ] && return 0
  if [ -d /run/systemd/system ]; then
    as_root systemctl stop firebird3.0 >/dev/null 2>&1 || true
  fi
  for pid in ${pids}; do as_root kill -TERM "${pid}" 2>/dev/null || true; done
  for i in $(seq 1 100); do
    [ -z "$(firebird_pids)" ] && return 0
    sleep 0.1
  done
  # A server that ignores the request is ended.
  for pid in $(firebird_pids); do as_root kill -KILL "${pid}" 2>/dev/null || true; done
  sleep 0.5
}

# Sets the administrator's password with the server stopped, through the embedded engine on the
# security database, which always works.
set_firebird_password() {
  local security=/var/lib/firebird/3.0/system/security3.fdb
  printf "create or alter user %s password '%s';\ncommit;\n" \
    "${ENDOMIRA_DB_USER}" "${ENDOMIRA_DB_PASSWORD}" \
    | as_root isql-fb -q -user "${ENDOMIRA_DB_USER}" "${security}" >/dev/null \
    || die "could not set the database administrator's password"
  as_root chown firebird:firebird "${security}"
}

# Starts the local database server (listening on 127.0.0.1 only) with the program's password.
start_firebird() {
  local conf=/etc/firebird/3.0/firebird.conf
  if ! grep -Eq '^[[:space:]]*RemoteBindAddress[[:space:]]*=[[:space:]]*(localhost|127\.0\.0\.1)' "${conf}"; then
    log "binding the database server to 127.0.0.1"
    as_root sed -i -E 's/^[[:space:]]*#?[[:space:]]*RemoteBindAddress[[:space:]]*=.*/RemoteBindAddress = 127.0.0.1/' "${conf}"
    grep -Eq '^RemoteBindAddress' "${conf}" || echo "RemoteBindAddress = 127.0.0.1" | as_root tee -a "${conf}" >/dev/null
    stop_firebird
  fi
  if firebird_port_open && firebird_password_ok; then
    return 0
  fi
  stop_firebird
  set_firebird_password
  mkdir -p "${ENDOMIRA_BUILD}"
  if [ -d /run/systemd/system ]; then
    log "starting the database server (systemd)"
    as_root systemctl enable --now firebird3.0 >/dev/null 2>&1 || die "systemctl could not start firebird3.0"
  else
    log "starting the database server"
    as_root mkdir -p /run/firebird3.0 && as_root chown firebird:firebird /run/firebird3.0
    as_root setsid setpriv --reuid=firebird --regid=firebird --init-groups /usr/sbin/firebird \
      </dev/null >>"${ENDOMIRA_FB_LOG}" 2>&1 &
  fi
  local i
  for i in $(seq 1 150); do
    if firebird_port_open; then
      firebird_password_ok && return 0
    fi
    sleep 0.1
  done
  tail -n 20 "${ENDOMIRA_FB_LOG}" >&2 2>/dev/null || true
  die "the database server did not start on 127.0.0.1:${ENDOMIRA_FB_PORT}"
}

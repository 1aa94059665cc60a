# Shared by the demo and test commands: install what the machine lacks and
# configure/build one of the project's builds. Source it; do not run it.
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD=${BUILD:-$ROOT/build}
JOBS=$(nproc 2>/dev/null || echo 2)

# Debian packages every build needs (pkg-config, zip, unzip and jq for the
# installed library's test and scripts/package.sh), and those of the Windows
# runs (Wine for both builds, the 32-bit loader from the i386 architecture),
# and of the runs under emulated processors (the user-mode emulator, the i686
# Linux cross compiler, the 32-bit runtime its programs run on).
PACKAGES_WINDOWS="wine wine64 wine32:i386 xvfb imagemagick unzip"
PACKAGES_CPUS="qemu-user g++-i686-linux-gnu libc6:i386 libstdc++6:i386"
PACKAGES_BASE="cmake g++ clang libclang-rt-14-dev libgtest-dev googletest nlohmann-json3-dev
  g++-mingw-w64-x86-64 g++-mingw-w64-i686 binutils-mingw-w64-x86-64 binutils-mingw-w64-i686
  libfftw3-dev libkissfft-dev pkg-config zip unzip jq"

log() { printf '\n=== %s\n' "$*"; }

# step NAME COMMAND...: one check of a phase, its output logged under $LOGS;
# PASS, or FAIL with the log's tail, appended to $RUN/results (the name
# after "$PREFIX: ").
step() {
  local name="${PREFIX:+$PREFIX: }$1" log
  log=$LOGS/$(printf '%02d' $(($(wc -l < "$RUN/results") + 1)))-$(tr -c 'A-Za-z0-9._-' _ <<< "$name" | cut -c1-60).log
  shift
  "$@" > "$log" 2>&1 && echo "PASS  $name" | tee -a "$RUN/results" && return
  echo "FAIL  $name (log: $log)" | tee -a "$RUN/results"
  tail -n 25 "$log" | sed 's/^/      | /'
}

# Installs the packages that are missing (as root, through apt-get).
ensure_packages() {
  local missing=()
  for p in "$@"; do
    [[ "$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null)" == *"install ok installed"* ]] || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  log "installing ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  if [[ " ${missing[*]}" == *:i386* ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    $sudo dpkg --add-architecture i386
  fi
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

# configure_build NAME [cmake args...]: configures $BUILD/NAME once, then builds it.
configure_build() {
  local name=$1; shift
  local dir=$BUILD/$name
  cmake -S "$ROOT" -B "$dir" -Wno-dev "$@" >/dev/null
  cmake --build "$dir" -j "$JOBS"
}

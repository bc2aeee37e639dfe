# Shared set-up for scripts/demo.sh and scripts/test.sh: packages, Xvfb and the Wine prefix.
# Sourced, not run.

TOKALUX_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
# Fonts: Liberation for the metric twins of Arial; WenQuanYi Micro Hei (CJK and Hangul) and DejaVu
# Sans (Arabic, Hebrew, some emoji) for titles in other scripts, drawn with fallback fonts.
TOKALUX_PACKAGES=(cmake ninja-build g++ googletest libgtest-dev g++-mingw-w64-x86-64 wine wine64
  xvfb xauth fonts-liberation fonts-wqy-microhei fonts-dejavu-core imagemagick clang
  libclang-rt-14-dev zip)

say() { printf '\n== %s\n' "$*"; }

# Installs whichever of the packages above is missing (needs root, as on a fresh Debian machine).
# Waits up to ten minutes for another apt-get (a second script, the system's own) to finish.
install_missing_packages() {
  local missing=() p
  for p in "${TOKALUX_PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  say "installing ${missing[*]}"
  local sudo=()
  [ "$(id -u)" -eq 0 ] || sudo=(sudo)
  "${sudo[@]}" apt-get -o DPkg::Lock::Timeout=600 update -qq &&
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get -o DPkg::Lock::Timeout=600 install -y -qq \
      --no-install-recommends "${missing[@]}" >/dev/null || { echo "apt-get install failed for: ${missing[*]}" >&2; return 1; }
}

# Starts an Xvfb on a free display and exports DISPLAY; stop_xvfb ends it. The screen is
# TOKALUX_SCREEN (WIDTHxHEIGHTxDEPTH), 1024x768x24 by default.
TOKALUX_XVFB_PID=
start_xvfb() {
  local n=90
  while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 "${TOKALUX_SCREEN:-1024x768x24}" -nolisten tcp >/dev/null 2>&1 &
  TOKALUX_XVFB_PID=$!
  local i
  for i in $(seq 1 100); do
    [ -e "/tmp/.X11-unix/X$n" ] && break
    sleep 0.1
  done
  export DISPLAY=":$n"
}
stop_xvfb() {
  [ -n "$TOKALUX_XVFB_PID" ] && kill "$TOKALUX_XVFB_PID" 2>/dev/null && wait "$TOKALUX_XVFB_PID" 2>/dev/null
  TOKALUX_XVFB_PID=
}

# A Wine prefix of our own under build/ (one per script: wine-test, wine-demo), so a run neither
# depends on nor disturbs any other.
prepare_wine() {
  export WINEPREFIX="${TOKALUX_WINEPREFIX:-$TOKALUX_ROOT/build/wine-${1:-test}}"
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml=,winemenubuilder.exe=d"
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    say "creating the Wine prefix $WINEPREFIX (once)"
    mkdir -p "$WINEPREFIX"
    wine wineboot -i >/dev/null 2>&1
    wineserver -w
  fi
  # Keep one wineserver for the whole run: every test process starts faster.
  wineserver -p >/dev/null 2>&1
  # Start Wine's background services now, with no pipe attached: started by the first test
  # program instead, they would inherit and hold its output pipe, and ctest would wait on it.
  wine cmd /c exit </dev/null >/dev/null 2>&1
}
# Sets the prefix's screen DPI (Wine's default is 96) for the programs started after this.
set_wine_dpi() {
  local dpi=$1
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
}
stop_wine() { [ -n "${WINEPREFIX:-}" ] && wineserver -k >/dev/null 2>&1; true; }

build_windows() {
  say "building the Windows programs (mingw-w64)"
  cmake --preset windows >/dev/null && cmake --build --preset windows
}

# Set-up for the figure scripts (bench.sh, soak.sh): built, on a private Xvfb with the bench prefix.
prepare_bench_run() {
  cd "$TOKALUX_ROOT" || exit 1
  install_missing_packages || exit 1
  build_windows >/dev/null || exit 1
  trap 'stop_wine; stop_xvfb' EXIT
  start_xvfb
  prepare_wine bench
}

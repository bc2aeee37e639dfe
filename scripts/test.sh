#!/usr/bin/env bash
# Runs every test: the pure logic natively (with AddressSanitizer and UBSan), then the Windows
# programs end to end under Wine on an Xvfb display of its own. Installs what is missing first.
set -u
source "$(dirname "$0")/lib.sh"
cd "$TOKALUX_ROOT" || exit 1

install_missing_packages || exit 1

say "native build and unit tests"
native_rc=0
{ cmake --preset native >/dev/null && cmake --build --preset native && ctest --preset native; } ||
  native_rc=1

say "fuzzing the byte readers and the click arithmetic (bounded time)"
{ cmake --preset fuzz >/dev/null && cmake --build --preset fuzz && ctest --preset fuzz; } ||
  native_rc=1

windows_rc=0
build_windows || windows_rc=1
built=$windows_rc
if [ $windows_rc -eq 0 ]; then
  trap 'stop_wine; stop_xvfb' EXIT
  start_xvfb
  prepare_wine test
  say "end-to-end tests under Wine (display $DISPLAY)"
  ctest --preset windows || windows_rc=1
fi

# Long titles on two more screens: a laptop at 150 % and a low 1280x720 one, each on an Xvfb of
# that size, with a Wine prefix of its own for another DPI.
if [ $built -eq 0 ]; then
  for screen in 1920x1080x24@144 1280x720x24@96; do
    stop_wine
    stop_xvfb
    TOKALUX_SCREEN=${screen%@*} start_xvfb
    dpi=${screen#*@}
    prefix=test
    [ "$dpi" = 96 ] || prefix="test-${dpi}dpi"
    TOKALUX_WINEPREFIX='' prepare_wine "$prefix"
    set_wine_dpi "$dpi"
    say "long titles at ${screen%x24@*}, $dpi dpi (display $DISPLAY)"
    ctest --preset windows -R '^LongTitles\.' || windows_rc=1
  done
fi

[ $native_rc -eq 0 ] || echo "native unit or fuzz tests FAILED (see above)"
[ $windows_rc -eq 0 ] && [ $native_rc -eq 0 ]

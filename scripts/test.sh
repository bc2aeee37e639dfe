#!/usr/bin/env bash
# Runs every test: the pure logic natively (with AddressSanitizer and UBSan), then the Windows
# programs end to end under Wine: those that need two monitors and mode changes (ctest label
# "monitors") on an X server with the dummy video driver, the rest on an Xvfb display. Each
# server is its own and stopped again. Installs what is missing first.
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
if [ $windows_rc -eq 0 ]; then
  trap 'stop_wine; stop_xvfb; stop_dummy_x' EXIT
  if start_dummy_x; then
    # A prefix of its own: Wine keeps what it found out about the monitors in its prefix.
    prepare_wine monitors
    say "end-to-end tests on two monitors under Wine (dummy X server, display $DISPLAY)"
    ctest --preset windows -L monitors || windows_rc=1
    dummy_x_two_monitors  # whatever mode a failed test left
    stop_wine
  else
    windows_rc=1
  fi
  stop_dummy_x

  # Long titles on two more screens: a laptop at 150 % and a low 1280x720 one, each on an Xvfb
  # of that size, with a Wine prefix of its own for another DPI.
  for screen in 1920x1080x24@144 1280x720x24@96; do
    TOKALUX_SCREEN=${screen%@*} start_xvfb
    dpi=${screen#*@}
    prefix=test
    [ "$dpi" = 96 ] || prefix="test-${dpi}dpi"
    TOKALUX_WINEPREFIX='' prepare_wine "$prefix"
    set_wine_dpi "$dpi"
    say "long titles at ${screen%x24@*}, $dpi dpi (display $DISPLAY)"
    ctest --preset windows -R '^LongTitles\.' || windows_rc=1
    stop_wine
    stop_xvfb
  done

  # Last, so that its summary closes the output.
  start_xvfb
  prepare_wine test
  say "end-to-end tests under Wine (display $DISPLAY)"
  ctest --preset windows -LE monitors || windows_rc=1
fi

[ $native_rc -eq 0 ] || echo "native unit or fuzz tests FAILED (see above)"
[ $windows_rc -eq 0 ] && [ $native_rc -eq 0 ]

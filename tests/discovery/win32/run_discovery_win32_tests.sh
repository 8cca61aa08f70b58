#!/usr/bin/env bash
# Discovery through the Setup API under Wine, in a prefix of its own:
#   1. remove any test devices left behind, register the ports the test expects;
#   2. map free ptys (held by pty-holder) as COM3, COM4, COM5, COM12, COM123; COM7 stays
#      unmapped so that its probe fails;
#   3. run the checks of the registered ports and of the device notices;
#   4. remove the devices and check that the result is null.
# usage: run_discovery_win32_tests.sh PREFIX REGISTER_EXE BROADCAST_EXE PTY_HOLDER WINE_RUN TEST_EXE [ARGS]
set -euo pipefail
prefix=$1 register=$2 broadcast=$3 holder=$4 wine_run=$5 test_exe=$6
shift 6

export WINEPREFIX=$prefix
export WINEDEBUG=${WINEDEBUG:--all}
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$WINEPREFIX"
  wineboot -i >/dev/null 2>&1 || true
  wineserver -w
fi
# Started before any pty exists, the server never takes one as its controlling terminal.
wineserver -p >/dev/null 2>&1 || true

holder_pid=""
cleanup() {
  "$wine_run" "$register" --remove-all >/dev/null 2>&1 || true
  rm -f "$WINEPREFIX"/dosdevices/com{3,4,5,7,12,123}
  [ -n "$holder_pid" ] && kill "$holder_pid" 2>/dev/null || true
  wineserver -k >/dev/null 2>&1 || true  # this prefix's server only
}
trap cleanup EXIT

reg() { "$wine_run" "$register" "$@" >/dev/null; }
"$wine_run" "$register" --remove-all >/dev/null
reg --port COM3 --friendly "USB Serial Device (COM3)"
reg --port COM12 --friendly "USB Serial Device (COM12)" --unterminated
reg --port COM123 --friendly "USB Serial Device (COM123)"
reg --port COM4 --friendly "Gadget (COM4) rev B"
reg --port COM5 --no-friendly
reg --port LPT1 --friendly "Printer Port (LPT1)"
reg --port com5 --friendly "Lower Case (COM5)"
reg --port COM7 --friendly "USB Serial Device (COM7)"

coproc HOLDER { exec "$holder" 5; }
holder_pid=$HOLDER_PID
rm -f "$WINEPREFIX"/dosdevices/com{3,4,5,7,12,123}
for n in 3 4 5 12 123; do
  read -r slave <&"${HOLDER[0]}"
  ln -s "$slave" "$WINEPREFIX/dosdevices/com$n"
done

export DISCOVERY_BROADCAST_TOOL="Z:${broadcast//\//\\}"
"$wine_run" "$test_exe" "$@" --gtest_filter='WineRegisteredPorts.*:WineDeviceNotice.*'

"$wine_run" "$register" --remove-all >/dev/null
"$wine_run" "$test_exe" "$@" --gtest_filter='WineNoPorts.*'

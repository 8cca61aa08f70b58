# Sourced by the demo and the end-to-end tests: micsim on a pseudo-terminal, mapped into the
# current Wine prefix as a COM port and registered as a Ports-class device, as the real
# microphone would be.
#   micsim_start <out-dir> [micsim options]   sets MICSIM_PID and MICSIM_PTY
#   com_register <wine-run> <register-port.exe> <N> <pty>
#   com_unregister <wine-run> <register-port.exe> <N>
# MICSIM (the simulator's path) and WINEPREFIX must be set.

MICSIM_PID="" MICSIM_PTY=""

micsim_start() {
  local out="$1"; shift
  "$MICSIM" --state "$out/micsim.state" --log "$out/micsim.log" "$@" >"$out/micsim.out" 2>&1 &
  MICSIM_PID=$!
  for _ in $(seq 200); do
    MICSIM_PTY="$(sed -n 's/^micsim: port //p' "$out/micsim.out" 2>/dev/null | head -n 1)"
    [ -n "$MICSIM_PTY" ] && return 0
    kill -0 "$MICSIM_PID" 2>/dev/null || break
    sleep 0.05
  done
  echo "micsim did not start: $(cat "$out/micsim.out" 2>/dev/null)" >&2
  return 1
}

com_register() {
  local wine_run="$1" register="$2" n="$3" pty="$4"
  # A stale registration from an interrupted run would list a port that goes nowhere.
  "$wine_run" "$register" --remove-all >/dev/null 2>&1 || true
  mkdir -p "$WINEPREFIX/dosdevices"
  ln -sfn "$pty" "$WINEPREFIX/dosdevices/com$n"
  "$wine_run" "$register" --port "COM$n" --friendly "Vantor Table-Top Microphone (COM$n)" >/dev/null ||
    { echo "com_register: registering COM$n failed (status $?)" >&2; return 1; }
}

com_unregister() {
  local wine_run="$1" register="$2" n="$3"
  "$wine_run" "$register" --remove-all >/dev/null 2>&1 || true
  rm -f "$WINEPREFIX/dosdevices/com$n"
}

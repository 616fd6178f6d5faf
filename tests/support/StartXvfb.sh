# Sourced by the scripts that run tests on a real X server: makes a work folder, starts Xvfb on a
# free display (screen size WxH as its one argument) and exports DISPLAY. Processes the script adds to
# `pids` are ended, and the work folder removed, when it exits.
work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${pids[@]}"; do wait "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

Xvfb -displayfd 3 -screen 0 "${1}x24" -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.05; done
[ -s "$work/display" ] || { cat "$work/xvfb.log" >&2; exit 1; }
export DISPLAY=":$(cat "$work/display")"
unset DBUS_SESSION_BUS_ADDRESS WAYLAND_DISPLAY

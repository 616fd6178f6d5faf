#!/usr/bin/env bash
# Runs a program on a real X server with no window manager: Xvfb on a free display.
#   OnXvfb.sh PROGRAM [ARGS...]
# Exits 77 (skipped) when Xvfb is missing.
set -euo pipefail
command -v Xvfb >/dev/null || { echo "Xvfb is not installed" >&2; exit 77; }
work=$(mktemp -d)
Xvfb -displayfd 3 -screen 0 800x600x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null || true; wait "$xvfb" 2>/dev/null || true; rm -rf "$work"' EXIT
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.05; done
[ -s "$work/display" ] || { cat "$work/xvfb.log" >&2; exit 1; }
export DISPLAY=":$(cat "$work/display")"
unset DBUS_SESSION_BUS_ADDRESS WAYLAND_DISPLAY
QT_QPA_PLATFORM=xcb "$@"

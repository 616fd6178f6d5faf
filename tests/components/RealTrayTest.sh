#!/usr/bin/env bash
# Runs a test program against a real notification area: Xvfb on a free display, the XEmbed tray
# host wmdocker on it, mapped and placed with xdotool (there is no window manager).
#   RealTrayTest.sh PROGRAM [ARGS...]
# Exits 77 (skipped) when one of the tools is missing.
set -euo pipefail
for tool in Xvfb wmdocker xdotool; do
  command -v "$tool" >/dev/null || { echo "$tool is not installed" >&2; exit 77; }
done

# shellcheck source=../support/StartXvfb.sh
source "$(dirname "${BASH_SOURCE[0]}")/../support/StartXvfb.sh" 800x600

wmdocker -iconsize 24 >"$work/wmdocker.log" 2>&1 &
pids+=($!)
tray=""
for _ in $(seq 100); do
  tray=$(xdotool search --name '^Docker$' 2>/dev/null | head -n 1) && [ -n "$tray" ] && break
  sleep 0.05
done
[ -n "$tray" ] || { cat "$work/wmdocker.log" >&2; exit 1; }
xdotool windowmove "$tray" 400 400
xdotool windowmap --sync "$tray"

QT_QPA_PLATFORM=xcb "$@"

#!/usr/bin/env bash
# Runs a program on a real X server with a window manager: Xvfb on a free display, openbox on it.
#   OnXvfbWithWindowManager.sh PROGRAM [ARGS...]
# Exits 77 (skipped) when Xvfb, openbox or xprop is missing.
set -euo pipefail
for tool in Xvfb openbox xprop; do
  command -v "$tool" >/dev/null || { echo "$tool is not installed" >&2; exit 77; }
done

# shellcheck source=StartXvfb.sh
source "$(dirname "${BASH_SOURCE[0]}")/StartXvfb.sh" 1024x768

# A configuration of its own, so that the user's openbox settings do not count.
export XDG_CONFIG_HOME="$work/config"
mkdir -p "$XDG_CONFIG_HOME"
openbox --sm-disable >"$work/openbox.log" 2>&1 &
pids+=($!)
# The window manager is running once it names its check window on the root window.
for _ in $(seq 100); do
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
  sleep 0.05
done
xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' || { cat "$work/openbox.log" >&2; exit 1; }

QT_QPA_PLATFORM=xcb "$@"

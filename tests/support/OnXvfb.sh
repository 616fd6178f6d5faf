#!/usr/bin/env bash
# Runs a program on a real X server with no window manager: Xvfb on a free display.
#   OnXvfb.sh PROGRAM [ARGS...]
# Exits 77 (skipped) when Xvfb is missing.
set -euo pipefail
command -v Xvfb >/dev/null || { echo "Xvfb is not installed" >&2; exit 77; }
# shellcheck source=StartXvfb.sh
source "$(dirname "${BASH_SOURCE[0]}")/StartXvfb.sh" 800x600
QT_QPA_PLATFORM=xcb "$@"

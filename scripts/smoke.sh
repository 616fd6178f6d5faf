#!/usr/bin/env bash
# Starts the program in a temporary program folder and settings home, closes it after a moment,
# and fails when it crashed or did not end.
set -euo pipefail
program=$(realpath "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -r "$(dirname "$program")"/. "$work/"
export XDG_CONFIG_HOME="$work/config"
"$work/$(basename "$program")" &
pid=$!
sleep 2
if kill -0 "$pid" 2>/dev/null; then kill -TERM "$pid"; fi
status=0
wait "$pid" || status=$?
# 143 is the end by SIGTERM for a program that does not handle it.
if [ "$status" -ne 0 ] && [ "$status" -ne 143 ]; then
  echo "smoke run failed with status $status" >&2
  exit 1
fi
echo "smoke run ended normally"

#!/usr/bin/env bash
# Starts the program in a temporary program folder and settings home, ends it once it is up with
# SIGTERM (which it takes as its close box), and fails when it crashed, did not end, or did not
# save its book on the way out.
set -euo pipefail
program=$(realpath "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -r "$(dirname "$program")"/. "$work/"
export XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data"
"$work/$(basename "$program")" &
pid=$!
# True once the process catches SIGTERM, that is once its close box is wired to it.
catches_term() {
  local mask
  mask=$(awk '/^SigCgt:/ { print $2 }' "/proc/$pid/status" 2>/dev/null) || return 1
  [ -n "$mask" ] && (((0x$mask >> (15 - 1)) & 1))
}
ready=0
for _ in $(seq 1 600); do
  kill -0 "$pid" 2>/dev/null || break
  if catches_term; then
    ready=1
    break
  fi
  sleep 0.1
done
if kill -0 "$pid" 2>/dev/null; then
  if [ "$ready" = 0 ]; then
    kill -KILL "$pid"
    echo "smoke run did not get ready for SIGTERM within 60 s" >&2
    exit 1
  fi
  kill -TERM "$pid"
fi
status=0
for _ in $(seq 1 50); do
  kill -0 "$pid" 2>/dev/null || break
  sleep 0.1
done
if kill -0 "$pid" 2>/dev/null; then
  kill -KILL "$pid"
  echo "smoke run did not end after SIGTERM" >&2
  exit 1
fi
wait "$pid" || status=$?
if [ "$status" -ne 0 ]; then
  echo "smoke run failed with status $status" >&2
  exit 1
fi
if ! head -c 7 "$work/AddressBook.abk" | grep -q "ABK10"; then
  echo "smoke run ended without saving its book" >&2
  exit 1
fi
echo "smoke run ended normally and saved its book"

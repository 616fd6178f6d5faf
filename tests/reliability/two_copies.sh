#!/usr/bin/env bash
# Starts the program twice on one program folder (on an X server: run it through OnXvfb.sh):
#   two_copies.sh PROGRAM
# The second copy must say so in a box and end without touching the book; the first copy then
# saves its book as usual, and once it has ended the program starts again normally.
set -euo pipefail
command -v xdotool >/dev/null || { echo "xdotool is not installed; skipping"; exit 77; }
# shellcheck source=ProgramCopy.sh
source "$(dirname "${BASH_SOURCE[0]}")/ProgramCopy.sh" "$1"
copy_program "$work/program"
export XDG_CONFIG_HOME="$work/config"
book="$work/program/AddressBook.abk"
fail() {
  echo "FAIL: $1" >&2
  exit 1
}
# The id of a window the process shows, once it shows one (at most 20 s).
window_of() { timeout 20 xdotool search --sync --onlyvisible --pid "$1" 2>/dev/null | head -n 1; }
# Waits at most 20 s for the process to end; sets status to its exit status.
status=
wait_for() {
  for _ in $(seq 200); do
    kill -0 "$1" 2>/dev/null || break
    sleep 0.1
  done
  status="still running"
  kill -0 "$1" 2>/dev/null && return
  status=0
  wait "$1" || status=$?
}

"$vab" &
first=$!
pids+=("$first")
[ -n "$(window_of "$first")" ] || fail "the first copy shows no window"

"$vab" &
second=$!
pids+=("$second")
box=$(window_of "$second")
[ -n "$box" ] || fail "the second copy shows no box"
[ "$(xdotool getwindowname "$box")" = "The Velmora Address Book" ] || fail "the second copy shows no message box"
xdotool windowfocus --sync "$box" key Return
wait_for "$second"
[ "$status" = 1 ] || fail "the second copy did not end after its box ($status)"
[ ! -e "$book" ] || fail "the second copy wrote the book"

kill -TERM "$first"
wait_for "$first"
[ "$status" = 0 ] || fail "the first copy did not end normally ($status)"
[ -f "$book" ] || fail "the first copy did not save its book"

# The lock went with the first copy: a new start runs normally.
"$vab" &
third=$!
pids+=("$third")
window=$(window_of "$third")
[ -n "$window" ] || fail "the program did not start again"
[ "$(xdotool getwindowname "$window")" = "The Velmora Address Book v2.4" ] || fail "the program started with a box"
kill -TERM "$third"
wait_for "$third"
[ "$status" = 0 ] || fail "the third copy did not end normally ($status)"
echo "a second copy on the same folder was refused and the book kept"

#!/usr/bin/env bash
# A logout (SIGTERM, SIGHUP, SIGINT) while a box of the program is up, on an X server with a
# window manager (run it through OnXvfbWithWindowManager.sh, which has the window manager ready
# before the program maps a window):  logout.sh PROGRAM
# - the program folder is a small file system, full (of bytes or of inodes) when the program ends:
#   the "could not be saved" box is up when the signal comes; the cards typed must be rescued where
#   they can be written, stderr must name the file, and the program must end within seconds;
# - the book is a FIFO: the box that says so at the start must not hold the program either.
set -euo pipefail
command -v xdotool >/dev/null || { echo "xdotool is not installed; skipping"; exit 77; }
# shellcheck source=ProgramCopy.sh
source "$(dirname "${BASH_SOURCE[0]}")/ProgramCopy.sh" "$1"
mkdir "$work/disk"
# Room for the program and its pictures, then little more.
need=$(du -sk "$(dirname "$program")" | cut -f1)
if ! mount -t tmpfs -o "size=$((need + 1024))k,nr_inodes=4096" tmpfs "$work/disk" 2>"$work/mount.err"; then
  echo "cannot mount a tmpfs ($(cat "$work/mount.err")); skipping"
  exit 77
fi
copy_program "$work/disk"
book="$work/disk/AddressBook.abk"
export XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data"
rescue="$XDG_DATA_HOME/velmora-address-book/AddressBook-rescued.abk"
failed=0
fail() {
  echo "FAIL: $1"
  failed=1
}
# The id of a visible window of the process named $2, once there is one (at most 40 s: a loaded
# machine starts slowly); empty when none came.
window_of() { { timeout 40 xdotool search --sync --onlyvisible --pid "$1" --name "^$2\$" 2>/dev/null || true; } | head -n 1; }
# Waits at most $2 seconds for the process to end; true when it did.
ended_within() {
  for _ in $(seq $(($2 * 10))); do
    kill -0 "$1" 2>/dev/null || { wait "$1" || true; return 0; }
    sleep 0.1
  done
  return 1
}
# Fills the file system: with bytes, or with empty files until no inode is left.
fill() {
  if [ "$1" = bytes ]; then
    cat /dev/zero >"$work/disk/filler" 2>/dev/null || true
  else
    mkdir -p "$work/disk/inodes"
    for i in $(seq 5000); do : 2>/dev/null >"$work/disk/inodes/$i" || break; done
  fi
}
unfill() { rm -rf "$work/disk/filler" "$work/disk/inodes"; }

printf 'ABK10\r\nKept\xffAlready\xff\xff\xff\xff\xff\xff\xff\xff\xff\xff\xff\xff\xff\r\n' >"$work/book"
for run in "TERM bytes" "HUP inodes" "INT bytes"; do
  read -r signal kind <<<"$run"
  cp "$work/book" "$book"
  rm -rf "$XDG_DATA_HOME"
  "$vab" 2>"$work/stderr" &
  pid=$!
  pids+=("$pid")
  main=$(window_of "$pid" "The Velmora Address Book v2.4")
  if [ -z "$main" ]; then
    state=$(kill -0 "$pid" 2>/dev/null && echo "still running" || echo "gone")
    windows=$(xdotool search --pid "$pid" 2>/dev/null | while read -r w; do xdotool getwindowname "$w"; done | tr '\n' '|')
    fail "$signal: no main window (the program is $state, its windows: $windows; it wrote: $(cat "$work/stderr"))"
    kill -KILL "$pid" 2>/dev/null || true
    continue
  fi
  xdotool windowactivate --sync "$main" key ctrl+n
  xdotool type --delay 20 "Typed$signal"
  fill "$kind"
  # Alt+X again while no box shows: on a loaded machine the window manager may hand the focus late.
  box=""
  for _ in 1 2 3 4 5; do
    xdotool windowactivate --sync "$main" key alt+x 2>/dev/null || true
    box=$(timeout 4 xdotool search --sync --onlyvisible --pid "$pid" --name "^The Velmora Address Book\$" 2>/dev/null |
      head -n 1)
    [ -n "$box" ] && break
  done
  [ -n "$box" ] || fail "$signal/$kind: no box when the save failed"
  kill "-$signal" "$pid"
  ended_within "$pid" 5 || fail "$signal/$kind: still running 5 s after the signal"
  unfill
  grep -q "Typed$signal" "$rescue" 2>/dev/null || fail "$signal/$kind: the typed card is not in $rescue"
  grep -qF "$rescue" "$work/stderr" || fail "$signal/$kind: stderr does not name $rescue: $(cat "$work/stderr")"
  cmp -s "$book" "$work/book" || fail "$signal/$kind: the book changed"
done

# A book that cannot be read: its box at the start.
rm -f "$book"
mkfifo "$book"
"$vab" 2>"$work/stderr" &
pid=$!
pids+=("$pid")
box=$(window_of "$pid" "The Velmora Address Book")
[ -n "$box" ] || fail "no box for a FIFO as the book"
kill -TERM "$pid"
ended_within "$pid" 5 || fail "the box of an unreadable book held the program 5 s after SIGTERM"
[ -p "$book" ] || fail "the FIFO was replaced"

[ "$failed" = 0 ] || exit 1
echo "a logout while a box was up ended the program and kept the cards"

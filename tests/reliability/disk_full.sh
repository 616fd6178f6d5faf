#!/usr/bin/env bash
# Saves a book too big for a small file system: disk_full.sh SAVE_PROBE
# The old book must survive complete, the failure be reported and no temporary file be left.
set -euo pipefail
probe=$1
work=$(mktemp -d)
cleanup() {
  mountpoint -q "$work/disk" && umount "$work/disk"
  rm -rf "$work"
}
trap cleanup EXIT
# A failed save rescues its cards into the data folder, else the home or temporary folder: this
# run's own, not the user's.
export XDG_DATA_HOME="$work/data" HOME="$work/home" TMPDIR="$work/tmp"
mkdir -p "$HOME" "$TMPDIR"
mkdir "$work/disk"
if ! mount -t tmpfs -o size=256k tmpfs "$work/disk" 2>"$work/mount.err"; then
  echo "cannot mount a tmpfs ($(cat "$work/mount.err")); skipping the disk-full test"
  exit 77
fi
book=AddressBook.abk
failed=0
fail() {
  echo "FAIL $1"
  failed=1
}
leftovers() { cd "$work/disk" && ls -A | grep -v -x -e "$book" -e AddressBook.bkp || true; }

# About 70 KiB of cards, then 330 KiB more: the new book cannot fit beside the old one.
[ "$("$probe" "$work/disk" 100 600)" = saved ] || { echo "the first save failed"; exit 1; }
cp "$work/disk/$book" "$work/old"
out=$("$probe" "$work/disk" 450 600)
[[ $out == reported:* ]] || fail "the failed save was not reported: $out"
cmp -s "$work/disk/$book" "$work/old" || fail "the old book did not survive"
[ ! -e "$work/disk/AddressBook.bkp" ] || fail "a backup appeared"
[ -z "$(leftovers)" ] || fail "left behind: $(leftovers)"

# The failed save gave its space back: a book that fits is saved.
[ "$("$probe" "$work/disk" 1 600)" = saved ] || fail "a book that fits was not saved after the failure"
cmp -s "$work/disk/AddressBook.bkp" "$work/old" || fail "the old book is not the backup"

[ "$failed" = 0 ] || exit 1
echo "a full disk kept the old book; the save said: ${out#reported: }"

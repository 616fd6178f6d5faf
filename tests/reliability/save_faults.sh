#!/usr/bin/env bash
# Makes each system call of the book save fail in turn (strace fault injection) and checks after
# every run that no card is lost and that a failure is reported exactly when the new book is not
# in place: save_faults.sh SAVE_PROBE
set -euo pipefail
probe=$1
if ! command -v strace >/dev/null; then
  echo "strace is not installed; skipping the fault-injection test"
  exit 77
fi
if ! strace -qq -o /dev/null true 2>/dev/null; then
  echo "strace cannot trace here (no ptrace permission); skipping the fault-injection test"
  exit 77
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
# A failed save rescues its cards into the data folder, else the home or temporary folder: this
# run's own, not the user's.
export XDG_DATA_HOME="$work/data" HOME="$work/home" TMPDIR="$work/tmp"
mkdir -p "$HOME" "$TMPDIR"
book=AddressBook.abk
backup=AddressBook.bkp

# Book files: header, then card lines of 14 fields, each closed by 0xFF.
printf 'ABK10\r\nPapadaki\xffEleni\xff\xff\xff\xff\xff\xff\xff\xff\xff\xff\xff\xff\xff\r\nMarsh\xffTom\xff\xff\xff\xff\xff\xff\xff\xff\xff\xff\xff\xff@!x\xff\r\n' >"$work/cards.old"
printf 'ABK10\r\nOlder\xffCard\xff\xff\xff\xff\xff\xff\xff\xff\xff\xff\xff\xff\xff\r\n' >"$work/cards.older"

# Lays out a starting state in folder $1: "book+backup", "book" or "backup".
setup() {
  rm -rf "$1"
  mkdir "$1"
  case $2 in
    book+backup) cp "$work/cards.old" "$1/$book"; cp "$work/cards.older" "$1/$backup" ;;
    book) cp "$work/cards.old" "$1/$book" ;;
    backup) cp "$work/cards.old" "$1/$backup" ;;
  esac
}

# Lists "SYSCALL N AFTER" for every system call the save makes in trace $1: N counts that call
# from the start of the process (as strace's when= does), AFTER is 1 once the new file has been
# renamed into place ($2 ends that rename's target). The memory allocator's calls (a sanitizer's
# runtime makes some) are left out: their failure is running out of memory, not a file fault.
save_calls() {
  awk -v target="$2" '
    /access\("\/vab-save-begin"/ { inside = 1; next }
    /access\("\/vab-save-end"/ { inside = 0; next }
    {
      call = $2; sub(/\(.*/, "", call)
      if (call !~ /^[a-z0-9_]+$/) next
      n[call]++
      if (inside && call !~ /^(mmap|munmap|mremap|brk|mprotect|madvise)$/) print call, n[call], after
      if (inside && call ~ /^rename/ && index($0, target)) after = 1
    }' "$1"
}

same() { [ -f "$1" ] && cmp -s "$1" "$2"; }

failures=0
fail() {
  echo "FAIL [$1] $2"
  failures=$((failures + 1))
}

# Checks folder $1 after a run in state $2 whose output is $3; $4 names the fault; $5 is 1 when
# the fault came after the new file was in place, $6 is the failed call.
check() {
  local dir=$1 state=$2 out=$3 fault=$4 after=$5 call=$6
  local reported=0 allowed=()
  grep -q '^reported' "$out" && reported=1
  grep -q -e '^reported' -e '^saved' "$out" || fail "$fault" "the probe did not finish: $(tail -n 3 "$out")"
  if [[ $call =~ ^(write|fsync|fdatasync)$ ]] && [ "$reported" = 0 ]; then
    fail "$fault" "a failed $call was not reported"
  fi
  [[ $state == unreadable-* ]] && allowed=(-e "$rescue")
  local extra
  extra=$(cd "$dir" && ls -A | grep -v -x -e "$book" -e "$backup" "${allowed[@]}" || true)
  [ -z "$extra" ] || fail "$fault" "left behind: $extra"

  if [[ $state == unreadable-* ]]; then
    # The files stay as they were; the cards go to a file of their own, or nowhere.
    [ "$reported" = 1 ] || fail "$fault" "no failure was reported"
    if [ "$state" = unreadable-book ]; then
      same "$dir/$book" "$work/cards.old" || fail "$fault" "the unreadable book was replaced"
      same "$dir/$backup" "$work/cards.older" || fail "$fault" "the backup was replaced"
    else
      [ ! -e "$dir/$book" ] || fail "$fault" "a book file appeared"
      same "$dir/$backup" "$work/cards.old" || fail "$fault" "the unreadable backup was replaced"
    fi
    [ ! -e "$dir/$rescue" ] || same "$dir/$rescue" "$work/cards.new" || fail "$fault" "the rescued cards are damaged"
  elif same "$dir/$book" "$work/cards.new"; then
    # The new book is in place: the old cards must be its backup (or gone with the backup the
    # book was loaded from), and only a failed flush of the folder may still be reported.
    if [ "$state" = backup ]; then
      [ ! -e "$dir/$backup" ] || same "$dir/$backup" "$work/cards.old" || fail "$fault" "backup damaged"
    else
      same "$dir/$backup" "$work/cards.old" || fail "$fault" "the old book is not the backup"
    fi
    local folderSync=0
    [ "$after" = 1 ] && [[ $call =~ ^(openat|fsync|fdatasync)$ ]] && folderSync=1
    [ "$reported" = "$folderSync" ] || fail "$fault" "new book in place, reported=$reported"
  elif [ "$reported" = 0 ]; then
    fail "$fault" "the new book is not in place but no failure was reported"
  elif [ "$state" = backup ]; then
    [ ! -e "$dir/$book" ] || fail "$fault" "a book file appeared"
    same "$dir/$backup" "$work/cards.old" || fail "$fault" "the backup is damaged"
  else
    same "$dir/$book" "$work/cards.old" || fail "$fault" "the old book is damaged"
    if [ "$state" = book ]; then
      [ ! -e "$dir/$backup" ] || same "$dir/$backup" "$work/cards.old" || fail "$fault" "backup damaged"
    else
      same "$dir/$backup" "$work/cards.older" || same "$dir/$backup" "$work/cards.old" ||
        fail "$fault" "backup damaged"
    fi
  fi
}

# In the states unreadable-book (book+backup) and unreadable-backup (backup) the load's read of
# the file it loads fails; the save must then leave every file as it was.
rescue=AddressBook-rescued.abk
layout() { case $1 in unreadable-book) echo book+backup ;; unreadable-backup) echo backup ;; *) echo "$1" ;; esac; }

for state in book+backup book backup unreadable-book unreadable-backup; do
  loadFault=()
  setup "$work/dir" "$(layout "$state")"
  if [[ $state == unreadable-* ]]; then
    strace -f -qq -o "$work/trace" "$probe" "$work/dir" >/dev/null
    n=$(awk '{ call = $2; sub(/\(.*/, "", call) } call == "read" { n++ } /read\([0-9]+, "ABK10/ { print n; exit }' \
      "$work/trace")
    loadFault=(-e "inject=read:error=EIO:when=$n")
    setup "$work/dir" "$(layout "$state")"
  fi
  # A run without a fault in the save gives the new file and the calls to fail.
  strace -f -qq -o "$work/trace" "${loadFault[@]}" "$probe" "$work/dir" >"$work/out"
  made=$book
  [[ $state == unreadable-* ]] && made=$rescue
  [ -f "$work/dir/$made" ] && ! cmp -s "$work/dir/$made" "$work/cards.old" || {
    echo "FAIL [$state] a save without a fault did not write $made: $(cat "$work/out")"
    exit 1
  }
  cp "$work/dir/$made" "$work/cards.new"
  save_calls "$work/trace" "/$made\")" >"$work/calls"
  runs=0
  while read -r call n after; do
    ((n <= 65535)) || { echo "cannot reach $call #$n (strace counts to 65535)"; continue; }
    errors=(EIO)
    [[ $call =~ ^(write|openat|fsync|link|linkat|rename|renameat|renameat2)$ ]] && errors+=(ENOSPC)
    for error in "${errors[@]}"; do
      setup "$work/dir" "$(layout "$state")"
      strace -f -qq -o /dev/null "${loadFault[@]}" -e inject="$call:error=$error:when=$n" "$probe" "$work/dir" \
        >"$work/out" 2>&1 || true
      check "$work/dir" "$state" "$work/out" "$state: $call #$n $error" "$after" "$call"
      runs=$((runs + 1))
    done
  done <"$work/calls"
  echo "$state: $runs faults injected into $(awk '{print $1}' "$work/calls" | sort -u | tr '\n' ' ')"
done

if [ "$failures" -gt 0 ]; then
  echo "$failures checks failed"
  exit 1
fi
echo "every fault left the book or its backup complete"

#!/usr/bin/env bash
# Starts and ends the program many times on one settings store, offscreen:
#   settings_exits.sh PROGRAM [RUNS]
# Each run ends the program by SIGTERM: at a random moment (also during its start), with two copies
# running at once, or after another program changed a value while it ran (keeping the file's size
# and modification time, as a write in the same clock tick does). After every run the store must
# hold every setting with its value. VAB_SEED repeats a run's random choices.
set -euo pipefail
# shellcheck source=ProgramCopy.sh
source "$(dirname "${BASH_SOURCE[0]}")/ProgramCopy.sh" "$1"
runs=${2:-24}
seed=${VAB_SEED:-$RANDOM}
RANDOM=$seed
copy_program "$work/program"
folder="$(realpath "$work/program")/"
export XDG_CONFIG_HOME="$work/config" QT_QPA_PLATFORM=offscreen
store="$XDG_CONFIG_HOME/velmora-address-book/registry.reg"
mkdir -p "$(dirname "$store")"

# The store as the program leaves it: settings VERSION OTHER (OTHER is a value of another program).
settings() {
  printf 'REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Quillmere\\VAB]\n'
  printf '"AddressBook"="Kept.abk"\n"CurrentSkin"=dword:00000000\n"InstallPath"="%s"\n' "$folder"
  printf '"Other"=dword:%08x\n"PlaySounds"=dword:00000000\n"Version"="%s"\n' "$2" "$1"
}
failed=0
fail() {
  echo "FAIL (run $run, VAB_SEED=$seed): $1"
  failed=1
}
pause() { sleep "0.$(printf %03d $((RANDOM % $1)))"; }
start() {
  "$vab" 2>>"$work/stderr" &
  pids+=($!)
}
# Waits at most 10 s for each process to end.
end_all() {
  for pid in "$@"; do
    for _ in $(seq 500); do
      kill -0 "$pid" 2>/dev/null || break
      sleep 0.02
    done
    if kill -0 "$pid" 2>/dev/null; then
      fail "the program did not end after SIGTERM"
      kill -KILL "$pid"
    fi
    wait "$pid" 2>/dev/null || true
  done
}
# Waits at most 10 s for the start-up writes of the program.
started() {
  for _ in $(seq 1000); do
    grep -q '"Version"="ABK10"' "$store" && return 0
    sleep 0.01
  done
  return 1
}

other=1
for run in $(seq "$runs"); do
  case $((run % 3)) in
    0)  # ended at a random moment
      settings ABK10 "$other" >"$store"
      start
      pause 300
      kill -TERM "${pids[-1]}"
      end_all "${pids[-1]}"
      ;;
    1)  # two copies at once, ended in either order
      settings ABK10 "$other" >"$store"
      start
      first=${pids[-1]}
      pause 200
      start
      second=${pids[-1]}
      pause 300
      if ((RANDOM % 2)); then kill -TERM "$first" "$second"; else kill -TERM "$second" "$first"; fi
      end_all "$first" "$second"
      ;;
    2)  # another program changes a value while this one runs
      settings ABK00 "$other" >"$store"
      start
      started || fail "the program wrote no settings at its start"
      other=$((other + 1))
      settings ABK10 "$other" >"$store.new"
      touch -r "$store" "$store.new"
      mv "$store.new" "$store"
      pause 100
      kill -TERM "${pids[-1]}"
      end_all "${pids[-1]}"
      ;;
  esac
  if ! cmp -s "$store" <(settings ABK10 "$other"); then
    fail "the settings changed:"
    diff <(settings ABK10 "$other") "$store" || true
  fi
  [ ! -e "$store.corrupt" ] || fail "the store was taken as damaged"
done
if [ "$failed" != 0 ]; then
  echo "stderr of the program:"
  sort "$work/stderr" | uniq -c
  exit 1
fi
echo "every setting kept over $runs runs (VAB_SEED=$seed)"

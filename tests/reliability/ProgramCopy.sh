# Sourced by the reliability scripts with the program as $1: `program` (its real path), a work folder
# `work` that is removed at exit after every process in `pids` is ended (and a file system mounted
# on $work/disk is unmounted), and copy_program FOLDER, which copies the program's folder there and
# sets `vab` to the copy of the program.
program=$(realpath "$1")
work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill -KILL "$pid" 2>/dev/null || true; done
  if mountpoint -q "$work/disk"; then umount "$work/disk"; fi
  rm -rf "$work"
}
trap cleanup EXIT
copy_program() {
  mkdir -p "$1"
  cp -r "$(dirname "$program")"/. "$1/"
  vab="$1/$(basename "$program")"
}

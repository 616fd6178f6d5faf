#!/usr/bin/env bash
# Runs every fuzz target of a fuzz build for a bounded time each: scripts/fuzz.sh DIR SECONDS
set -euo pipefail
dir=$1
seconds=$2
shopt -s nullglob
targets=()
for target in "$dir"/fuzz/fuzz_*; do
  [ -f "$target" ] && [ -x "$target" ] && targets+=("$target")
done
for target in "${targets[@]}"; do
  name=$(basename "$target")
  corpus=$(mktemp -d)
  seeds="fuzz/corpus/${name#fuzz_}"
  [ -d "$seeds" ] && cp -r "$seeds"/. "$corpus/"
  echo "fuzzing $name for ${seconds}s"
  "$target" -max_total_time="$seconds" -rss_limit_mb=2048 -print_final_stats=0 "$corpus" >"$corpus.log" 2>&1 || {
    tail -n 40 "$corpus.log"
    echo "fuzz target $name failed" >&2
    exit 1
  }
  rm -rf "$corpus" "$corpus.log"
done
echo "fuzzed ${#targets[@]} targets"

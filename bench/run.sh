#!/usr/bin/env bash
# Runs the book benchmarks and, in the same run, cat and dd on the same 1,000,000-card book file,
# then prints the ratios load/cat and save/dd. Builds nothing: bench/run.sh [BUILD_DIR] (build/).
set -euo pipefail
build=$(realpath "${1:-build}")
bench=$build/bench/vab_bench_book
generate=$build/bench/vab_generate_book
for program in "$bench" "$generate"; do
  if [ ! -x "$program" ]; then
    echo "missing $program: build the benchmarks first (ninja -C $build vab_bench_book vab_generate_book)" >&2
    exit 1
  fi
done

# On the build tree's file system, so that cat, dd and the save share a disk.
data=$(mktemp -d "$build/bench-data.XXXXXX")
trap 'rm -rf "$data"' EXIT
book=$data/cards-1000000.abk
"$generate" 1000000 "$book"
echo "book file: $(stat -c %s "$book") bytes, 1000000 cards"

now() { date +%s%N; }
# Milliseconds of the fastest of N runs of a command.
fastest() {
  local runs=$1 best=
  shift
  for ((i = 0; i < runs; i++)); do
    local start end
    start=$(now)
    "$@"
    end=$(now)
    local ms=$(((end - start) / 1000))
    if [ -z "$best" ] || [ "$ms" -lt "$best" ]; then best=$ms; fi
  done
  awk -v us="$best" 'BEGIN { printf "%.1f", us / 1000 }'
}
read_book() { cat "$book" >/dev/null; }
copy_book() { dd if="$book" of="$data/copy" bs=1M conv=fsync status=none; }

cat "$book" >/dev/null  # into the page cache, as the load will find it
cat_ms=$(fastest 5 read_book)
dd_ms=$(fastest 5 copy_book)
rm -f "$data/copy"

# Five repetitions of each, so that the load and save are taken as cat and dd are: the fastest.
VAB_BENCH_DIR=$data "$bench" --benchmark_repetitions=5 --benchmark_out="$data/results.csv" --benchmark_out_format=csv
# The fastest repetition of a benchmark (its real time), in milliseconds.
result() {
  awk -F, -v name="\"$1/real_time\"" '$1 == name && (best == "" || $3 < best) { best = $3 } END { print best }' \
    "$data/results.csv"
}
load_ms=$(result BM_LoadBook/1000000)
save_ms=$(result BM_SaveBook/1000000)

echo
awk -v load="$load_ms" -v save="$save_ms" -v cat_ms="$cat_ms" -v dd_ms="$dd_ms" 'BEGIN {
  printf "cat FILE >/dev/null           %8.1f ms\n", cat_ms
  printf "dd bs=1M conv=fsync           %8.1f ms\n", dd_ms
  printf "load 1,000,000 cards          %8.1f ms   load/cat %5.2f (target 3)\n", load, load / cat_ms
  printf "save 1,000,000 cards          %8.1f ms   save/dd  %5.2f (target 2)\n", save, save / dd_ms
}'

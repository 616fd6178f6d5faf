#!/usr/bin/env bash
# Runs the search and letter-list benchmarks and, in the same run, grep -F -c over the same book
# files, then prints the ratio search/grep. Builds nothing: bench/search.sh [BUILD_DIR] (build/).
set -euo pipefail
build=$(realpath "${1:-build}")
bench=$build/bench/vab_bench_lookup
generate=$build/bench/vab_generate_book
for program in "$bench" "$generate"; do
  if [ ! -x "$program" ]; then
    echo "missing $program: build the benchmarks first (ninja -C $build vab_bench_lookup vab_generate_book)" >&2
    exit 1
  fi
done
data=$(mktemp -d "$build/bench-data.XXXXXX")
trap 'rm -rf "$data"' EXIT
for count in 100000 1000000; do "$generate" "$count" "$data/cards-$count.abk"; done

now() { date +%s%N; }
fastest_grep() {
  local best=
  for ((i = 0; i < 5; i++)); do
    local start end
    start=$(now)
    grep -F -c 'Zyxwvut@nowhere' "$1" >/dev/null || true
    end=$(now)
    local us=$(((end - start) / 1000))
    if [ -z "$best" ] || [ "$us" -lt "$best" ]; then best=$us; fi
  done
  awk -v us="$best" 'BEGIN { printf "%.2f", us / 1000 }'
}
cat "$data"/cards-*.abk >/dev/null
grep100k=$(fastest_grep "$data/cards-100000.abk")
grep1m=$(fastest_grep "$data/cards-1000000.abk")

VAB_BENCH_DIR=$data "$bench" --benchmark_out="$data/results.csv" --benchmark_out_format=csv
result() { awk -F, -v name="\"$1/real_time\"" '$1 == name { print $3 }' "$data/results.csv"; }
find100k=$(result BM_FindCardNoMatch/100000)
find1m=$(result BM_FindCardNoMatch/1000000)
fill=$(result BM_LetterListFill/100000/63)

echo
awk -v f1="$find100k" -v f2="$find1m" -v g1="$grep100k" -v g2="$grep1m" -v fill="$fill" 'BEGIN {
  printf "search   100,000 cards %8.2f ms   grep -F -c %8.2f ms   search/grep %5.2f (target 1.0)\n", f1, g1, f1 / g1
  printf "search 1,000,000 cards %8.2f ms   grep -F -c %8.2f ms   search/grep %5.2f (target 1.0)\n", f2, g2, f2 / g2
  printf "letter list ALL, 100,000 cards %8.2f ms (target 100)\n", fill
}'

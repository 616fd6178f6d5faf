#!/usr/bin/env bash
# Runs the Sort Alphabetically and import benchmarks and, in the same run, sort -f over the same
# book files, then prints the figures side by side. Builds nothing: bench/sort.sh [BUILD_DIR] (build/).
# sort uses $VAB_SORT_LOCALE, else en_US.UTF-8 when the machine has it, else C.UTF-8.
set -euo pipefail
build=$(realpath "${1:-build}")
bench=$build/bench/vab_bench_book_tools
generate=$build/bench/vab_generate_book
for program in "$bench" "$generate"; do
  if [ ! -x "$program" ]; then
    echo "missing $program: build the benchmarks first (ninja -C $build vab_bench_book_tools vab_generate_book)" >&2
    exit 1
  fi
done
locale=${VAB_SORT_LOCALE:-}
if [ -z "$locale" ]; then
  if locale -a 2>/dev/null | grep -qix 'en_US.utf8'; then locale=en_US.UTF-8; else locale=C.UTF-8; fi
fi
data=$(mktemp -d "$build/bench-data.XXXXXX")
trap 'rm -rf "$data"' EXIT
for count in 100000 1000000; do
  "$generate" "$count" "$data/cards-$count.abk"
  tail -n +2 "$data/cards-$count.abk" >"$data/lines-$count"
done

now() { date +%s%N; }
fastest_sort() {
  local best=
  for ((i = 0; i < 3; i++)); do
    local start end
    start=$(now)
    LC_ALL=$locale sort -f "$1" >/dev/null
    end=$(now)
    local us=$(((end - start) / 1000))
    if [ -z "$best" ] || [ "$us" -lt "$best" ]; then best=$us; fi
  done
  awk -v us="$best" 'BEGIN { printf "%.2f", us / 1000 }'
}
sort100k=$(fastest_sort "$data/lines-100000")
sort1m=$(fastest_sort "$data/lines-1000000")

VAB_BENCH_DIR=$data "$bench" --benchmark_out="$data/results.csv" --benchmark_out_format=csv
result() { awk -F, -v name="\"$1/real_time\"" '$1 == name { print $3 }' "$data/results.csv"; }
echo
awk -v s1="$(result BM_SortCards/100000)" -v s2="$(result BM_SortCards/1000000)" -v r1="$sort100k" -v r2="$sort1m" \
    -v imp="$(result BM_ImportVCards/10000)" -v loc="$locale" 'BEGIN {
  printf "sort   100,000 cards %8.2f ms (target 100)    sort -f (%s) %8.2f ms\n", s1, loc, r1
  printf "sort 1,000,000 cards %8.2f ms (target 1000)   sort -f (%s) %8.2f ms\n", s2, loc, r2
  printf "import 10,000 vCards %8.2f ms (target 1000)\n", imp
}'

#!/usr/bin/env bash
# Runs the search and letter-list benchmarks and, in the same run, grep -F -c over the same book
# files and sort -f over the names of the 1,000,000 cards, then prints the figures side by side,
# each the best of several runs. The letter list is timed while the book is unchanged (ALL and
# the letter S) and on its first fill after a card was stored, which sorts the entries again.
# Builds nothing: bench/search.sh [BUILD_DIR] (build/). sort uses $VAB_SORT_LOCALE, else
# en_US.UTF-8 when the machine has it, else C.UTF-8.
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

# The letter list's entries, "Last, First", as a file for sort -f.
tail -n +2 "$data/cards-1000000.abk" | LC_ALL=C awk -F '\377' '{ print $1 ", " $2 }' >"$data/names-1000000"
locale=${VAB_SORT_LOCALE:-}
if [ -z "$locale" ]; then
  if locale -a 2>/dev/null | grep -qix 'en_US.utf8'; then locale=en_US.UTF-8; else locale=C.UTF-8; fi
fi
sort_best=
for ((i = 0; i < 3; i++)); do
  start=$(now)
  LC_ALL=$locale sort -f "$data/names-1000000" >/dev/null
  end=$(now)
  us=$(((end - start) / 1000))
  if [ -z "$sort_best" ] || [ "$us" -lt "$sort_best" ]; then sort_best=$us; fi
done
sort1m=$(awk -v us="$sort_best" 'BEGIN { printf "%.2f", us / 1000 }')

VAB_BENCH_DIR=$data "$bench" --benchmark_repetitions=5 --benchmark_out="$data/results.csv" \
  --benchmark_out_format=csv
# The fastest repetition of a benchmark (its real time), in milliseconds.
result() {
  awk -F, -v name="\"$1/real_time\"" '$1 == name && (best == "" || $3 < best) { best = $3 } END { print best }' \
    "$data/results.csv"
}
find100k=$(result BM_FindCardNoMatch/100000)
find1m=$(result BM_FindCardNoMatch/1000000)
fill100k=$(result BM_LetterListFill/100000/63)
fill1m=$(result BM_LetterListFill/1000000/63)
letter1m=$(result BM_LetterListFill/1000000/83)
changed1m=$(result BM_LetterListFillAfterChange/1000000)

echo
awk -v f1="$find100k" -v f2="$find1m" -v g1="$grep100k" -v g2="$grep1m" -v l1="$fill100k" -v l2="$fill1m" \
    -v s="$letter1m" -v c2="$changed1m" -v s2="$sort1m" -v loc="$locale" 'BEGIN {
  printf "search   100,000 cards %8.2f ms   grep -F -c %8.2f ms   search/grep %5.2f (target 1.0)\n", f1, g1, f1 / g1
  printf "search 1,000,000 cards %8.2f ms   grep -F -c %8.2f ms   search/grep %5.2f (target 1.0)\n", f2, g2, f2 / g2
  printf "sort -f (%s) of the names of 1,000,000 cards %8.2f ms\n", loc, s2
  printf "letter list ALL,   100,000 cards %8.2f ms (target 100)\n", l1
  printf "letter list ALL, 1,000,000 cards %8.2f ms   list/sort %5.2f (target 0.30)\n", l2, l2 / s2
  printf "letter list S,   1,000,000 cards %8.2f ms (target 50)\n", s
  printf "letter list ALL, 1,000,000 cards, first fill after a change %8.2f ms   list/sort %5.2f\n", c2, c2 / s2
}'

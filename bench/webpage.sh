#!/usr/bin/env bash
# Writes the HTML page of the same 1,000,000 generated cards with this program and, in the same
# run, with abook (a console address book, when it is installed) from the same cards in its own
# format, and prints the time and peak memory of each whole run; then runs the page benchmark.
# Builds nothing: bench/webpage.sh [BUILD_DIR] (build/).
set -euo pipefail
build=$(realpath "${1:-build}")
write=$build/bench/vab_write_page
bench=$build/bench/vab_bench_webpage
# shellcheck source=abook-compare.sh
source "$(dirname "$0")/abook-compare.sh"
whole_runs index.html html

"$bench" --benchmark_filter=BM_WebPage/1000000
echo
echo "HTML page of 1,000,000 cards, whole run (load and write):"
echo "  vab_write_page  $ours   (target: write under 0.6 s, under 300 MiB)"
echo "  abook --convert $theirs"

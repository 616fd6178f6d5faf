#!/usr/bin/env bash
# Exports every field of the same 1,000,000 generated cards as delimited text with this program
# and, in the same run, with abook (a console address book, when it is installed) from the same
# cards in its own format, and prints the time and peak memory of each whole run; then runs the
# export benchmark, which times the export alone and its memory beyond the book.
# Builds nothing: bench/export.sh [BUILD_DIR] (build/).
set -euo pipefail
build=$(realpath "${1:-build}")
write=$build/bench/vab_write_export
bench=$build/bench/vab_bench_export
# shellcheck source=abook-compare.sh
source "$(dirname "$0")/abook-compare.sh"
whole_runs export.csv csv

VAB_BENCH_DIR=$data "$bench"
echo
echo "Delimited export of 1,000,000 cards, every field, whole run (load and write):"
echo "  vab_write_export $ours"
echo "  abook --convert  $theirs"
echo "(target: the export alone under 0.5 s and under 100 MiB beyond the book: see the benchmark above)"

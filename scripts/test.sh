#!/usr/bin/env bash
# Installs what is missing, then builds and runs every test: the suite with warnings as errors,
# a smoke run of the program, the suite again under AddressSanitizer and UndefinedBehaviorSanitizer,
# and each fuzz target for a bounded time.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh

jobs=$(nproc)
logs=$(mktemp -d)
trap 'rm -rf "$logs"' EXIT

echo "== format"
scripts/format.sh --check

echo "== build and test"
scripts/build.sh build -DVAB_WERROR=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo
ctest --test-dir build --output-on-failure --parallel "$jobs" --timeout 300 | tee "$logs/main.log"

echo "== smoke run"
QT_QPA_PLATFORM=offscreen scripts/smoke.sh build/program/vab

echo "== sanitizers"
scripts/build.sh build-asan -DVAB_WERROR=ON -DVAB_SANITIZE=ON -DVAB_BENCH=OFF -DCMAKE_BUILD_TYPE=Debug
ASAN_OPTIONS=detect_leaks=0 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build-asan --output-on-failure --parallel "$jobs" --timeout 600 | tee "$logs/asan.log"

echo "== fuzz"
# With clang and warnings as errors; the tests and benchmarks are compiled (not run), so that every
# unit builds warning-free with both compilers.
scripts/build.sh build-fuzz -DVAB_FUZZ=ON -DVAB_WERROR=ON -DVAB_TESTS=ON -DVAB_BENCH=ON \
  -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo
scripts/fuzz.sh build-fuzz 12

# ctest's summary counts skipped tests among the passed ones and leaves disabled ones out; its
# per-test lines say which were skipped ("***Skipped") or disabled ("***Not Run (Disabled)").
passed=0
failed=0
skipped=0
for log in "$logs"/*.log; do
  line=$(grep -E 'tests passed, [0-9]+ tests failed out of [0-9]+' "$log" | tail -n 1)
  total=$(sed -E 's/.* out of ([0-9]+).*/\1/' <<<"$line")
  bad=$(sed -E 's/.*, ([0-9]+) tests failed.*/\1/' <<<"$line")
  skips=$(grep -cE '^ *[0-9]+/[0-9]+ Test +#[0-9]+: .*\*\*\*Skipped' "$log" || true)
  disabled=$(grep -cE '^ *[0-9]+/[0-9]+ Test +#[0-9]+: .*\*\*\*Not Run \(Disabled\)' "$log" || true)
  passed=$((passed + total - bad - skips))
  failed=$((failed + bad))
  skipped=$((skipped + skips + disabled))
done
echo "vab: $passed passed, $failed failed, $skipped skipped"
[ "$failed" -eq 0 ]

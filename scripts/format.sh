#!/usr/bin/env bash
# Formats every C++ file the repository tracks, or with --check fails on the first that is not.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ "${1:-}" = "--check" ]; then
  git ls-files -z -- '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror
else
  git ls-files -z -- '*.cpp' '*.h' | xargs -0 clang-format -i
fi

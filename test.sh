#!/usr/bin/env bash
# Builds the project twice (a normal build and one with AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs the whole test suite in both; then the
# deep-nesting tests once more in an optimised sanitizer build, whose stack
# frames are the largest (a third build of only what they need).
set -euo pipefail
cd "$(dirname "$0")"
./scripts/setup.sh

jobs=$(nproc 2>/dev/null || echo 4)

run_build() {
  local dir=$1; shift
  cmake -S . -B "$dir" -G Ninja -DWERROR=ON "$@"
  cmake --build "$dir" -j "$jobs"
  ctest --test-dir "$dir" --output-on-failure -j "$jobs"
}

run_build build -DCMAKE_BUILD_TYPE=RelWithDebInfo
run_build build-sanitize -DCMAKE_BUILD_TYPE=Debug -DSANITIZE=ON -DBUILD_BENCHMARKS=OFF
cmake -S . -B build-sanitize-rel -G Ninja -DWERROR=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DSANITIZE=ON -DBUILD_BENCHMARKS=OFF
cmake --build build-sanitize-rel -j "$jobs" --target tarnel_nesting_test
ctest --test-dir build-sanitize-rel --output-on-failure -j "$jobs" --no-tests=error -R '^Nesting\.'
echo "All tests passed (normal and sanitizer builds)."

#!/usr/bin/env bash
# Builds rvcps with AddressSanitizer and UndefinedBehaviorSanitizer and runs every test, then
# runs each fuzz harness for a short bounded time on its committed seed corpus.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
jobs=$(nproc)
cmake -S . -B build-asan -G Ninja -DRV_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug
cmake --build build-asan -j "$jobs"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export QT_QPA_PLATFORM=offscreen
bash scripts/fuzz.sh
# The test run comes last so that its summary closes the output.
ctest --test-dir build-asan --output-on-failure -j "$jobs"

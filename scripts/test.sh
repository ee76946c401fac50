#!/usr/bin/env bash
# Builds rvcps with AddressSanitizer and UndefinedBehaviorSanitizer and runs every test, then
# runs each fuzz harness for a short bounded time on its committed seed corpus; then builds the
# Debian package and checks it unpacked (scripts/check-package.sh).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
# A comma-decimal desktop for the test that compares numbers under two locales.
if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
    SUDO=""
    [ "$(id -u)" -eq 0 ] || SUDO="sudo"
    $SUDO localedef -i de_DE -f UTF-8 de_DE.UTF-8
fi
jobs=$(nproc)
cmake -S . -B build-asan -G Ninja -DRV_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug
cmake --build build-asan -j "$jobs"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export QT_QPA_PLATFORM=offscreen
bash scripts/fuzz.sh
# Every test program, with its summary.
ctest --test-dir build-asan --output-on-failure -j "$jobs"
# The Debian package, built without the sanitizers and checked unpacked; its summary line
# closes the output.
bash scripts/check-package.sh

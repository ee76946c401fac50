#!/usr/bin/env bash
# Builds the libFuzzer harnesses with clang and runs each for a bounded time on its corpus.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${RV_FUZZ_SECONDS:-20}
[ -d fuzz ] && [ -f fuzz/CMakeLists.txt ] || exit 0
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DRV_BUILD_FUZZ=ON -DRV_BUILD_GUI=OFF \
    -DRV_BUILD_TESTS=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build-fuzz -j "$(nproc)" >/dev/null
for harness in build-fuzz/bin/fuzz_*; do
    [ -x "$harness" ] || continue
    name=$(basename "$harness")
    corpus="fuzz/corpus/${name#fuzz_}"
    work=$(mktemp -d)
    echo "Fuzzing $name for ${seconds}s"
    "$harness" -max_total_time="$seconds" -rss_limit_mb=2048 -artifact_prefix="$work/" "$work" "$corpus" 2>&1 | tail -n 2
    rm -rf "$work"
done

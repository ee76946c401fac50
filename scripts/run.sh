#!/usr/bin/env bash
# Builds rvcps and starts it. Without a radio attached it runs against the simulated radio.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc)"
bin=build/bin
if [ -x "$bin/rvcps" ]; then
    exec bash scripts/demo.sh "$@"
fi
# Until the desktop program lands, show the command line on a fresh default set.
out=$(mktemp -d)/demo.dat
"$bin/rvcps-cli" new --model RV205 --range 400-470 -o "$out"
"$bin/rvcps-cli" info "$out"
"$bin/rvcps-cli" dump "$out"

#!/usr/bin/env bash
# Builds in Release (./build-release) and runs every benchmark; each prints one JSON line per measurement.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release -DSV_BUILD_TESTS=OFF >/dev/null
cmake --build build-release -j"$(nproc 2>/dev/null || echo 2)"
export QT_QPA_PLATFORM=offscreen
find build-release/bench -type f -perm -u+x -name 'bench_*' | sort | while read -r b; do
  "$b" 2>/dev/null
done

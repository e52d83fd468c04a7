#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh -DSV_BUILD_TESTS=ON
cd build
ctest --output-on-failure -j"$(nproc 2>/dev/null || echo 2)" --timeout 300

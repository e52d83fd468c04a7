#!/usr/bin/env bash
# Installs what is missing, builds and starts the program (under a virtual display when there is none).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
bash scripts/build.sh
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display: starting under xvfb-run." >&2
  exec xvfb-run -a ./build/src/app/sonvero "$@"
fi
exec ./build/src/app/sonvero "$@"

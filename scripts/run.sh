#!/usr/bin/env bash
# Sets up, builds and starts Mapquill.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build --target mapquill -j"$(nproc)"
exec build/src/app/mapquill "$@"

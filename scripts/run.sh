#!/usr/bin/env bash
# Sets up, builds (Release, in build-release/) and starts Mapquill. The
# command-line tools are built alongside: build-release/src/cli/mapquill-tools.
# The test suite builds in build/ (Debug), so the two never rebuild each other.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
launcher=()
if command -v ccache >/dev/null; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release "${launcher[@]}" >/dev/null
cmake --build build-release --target mapquill mapquill-tools -j"$(nproc)"
exec build-release/src/app/mapquill "$@"

#!/usr/bin/env bash
# Sets up, builds (Debug, in build/) and runs the whole test suite. With
# SANITIZE=1 it builds with AddressSanitizer and UndefinedBehaviorSanitizer in
# build-sanitize/. scripts/run.sh keeps its Release build in build-release/.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
dir=build
# The benchmark programs are built too, so that they keep compiling.
flags=(-DCMAKE_BUILD_TYPE=Debug -DMAPQUILL_BENCH=ON)
if [ "${SANITIZE:-0}" = 1 ]; then
  dir=build-sanitize
  flags+=(-DMAPQUILL_SANITIZE=ON)
fi
if command -v ccache >/dev/null; then flags+=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
cmake -S . -B "$dir" -G Ninja "${flags[@]}" >/dev/null
log="$dir/build-output.txt"
cmake --build "$dir" -j"$(nproc)" 2>&1 | tee "$log"
# In CI a warning fails the build (read from the output, so that cached
# compiles, which repeat their warnings, still count).
if [ -n "${CI:-}" ] && grep -q 'warning:' "$log"; then
  echo "test.sh: the build gave warnings (see above)" >&2
  exit 1
fi
export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS=detect_leaks=0
ctest --test-dir "$dir" --output-on-failure -j"$(nproc)"

#!/usr/bin/env bash
# Sets up, builds and runs the whole test suite: a Debug build with
# AddressSanitizer and UndefinedBehaviorSanitizer in build/, so that one build
# and one run give both the suite's verdict and the sanitizers'. SANITIZE=0
# builds without them, in build-plain/. scripts/run.sh keeps its Release build
# in build-release/.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
dir=build
# The benchmark programs are built too, so that they keep compiling.
flags=(-DCMAKE_BUILD_TYPE=Debug -DMAPQUILL_BENCH=ON -DMAPQUILL_SANITIZE=ON)
if [ "${SANITIZE:-1}" = 0 ]; then
  dir=build-plain
  flags=(-DCMAKE_BUILD_TYPE=Debug -DMAPQUILL_BENCH=ON -DMAPQUILL_SANITIZE=OFF)
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

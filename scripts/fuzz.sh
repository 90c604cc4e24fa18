#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each one for a while.
#   scripts/fuzz.sh [BUILD_DIR]        (default ./build-fuzz)
#   FUZZ_SECONDS=60 scripts/fuzz.sh    (default 20 seconds per target)
# Exits non-zero when a build fails or a fuzzer finds a crash; the crashing
# input is left in BUILD_DIR/fuzz-artifacts/.
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${1:-./build-fuzz}"
seconds="${FUZZ_SECONDS:-20}"
jobs="${FUZZ_JOBS:-2}"

cmake -S "$root" -B "$build" -G Ninja \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer" \
  -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" \
  -DMAPQUILL_FUZZ=ON -DMAPQUILL_BUILD_GUI=OFF

targets=()
for source in "$root"/tests/fuzz/fuzz_*.cpp; do
  [ -e "$source" ] || continue
  targets+=("$(basename "$source" .cpp)")
done
if [ ${#targets[@]} -eq 0 ]; then
  echo "fuzz.sh: no fuzz targets found" >&2
  exit 1
fi

cmake --build "$build" -j "$jobs" --target "${targets[@]}"

artifacts="$build/fuzz-artifacts"
mkdir -p "$artifacts"
status=0
for target in "${targets[@]}"; do
  corpus="$build/fuzz-corpus/$target"
  mkdir -p "$corpus"
  echo "== $target: ${seconds}s"
  if ! UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
      "$build/tests/fuzz/$target" "$corpus" \
      -max_total_time="$seconds" -max_len=4096 -timeout=10 \
      -artifact_prefix="$artifacts/$target-" -print_final_stats=1; then
    echo "fuzz.sh: $target found a failure (see $artifacts)" >&2
    status=1
  fi
done
exit $status

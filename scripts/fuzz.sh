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
# The targets run side by side, one per core; each one's log is shown when it
# ends.
run_target() {
  local target=$1 corpus="$build/fuzz-corpus/$1"
  mkdir -p "$corpus"
  UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
    "$build/tests/fuzz/$target" "$corpus" \
    -max_total_time="$seconds" -max_len=4096 -timeout=10 \
    -artifact_prefix="$artifacts/$target-" -print_final_stats=1 >"$artifacts/$target.log" 2>&1
}
declare -A running=()
status=0
finish_one() {
  local pid
  wait -n -p pid "${!running[@]}" && code=0 || code=$?
  local target=${running[$pid]}
  unset "running[$pid]"
  echo "== $target: ${seconds}s"
  cat "$artifacts/$target.log"
  if [ "$code" -ne 0 ]; then
    echo "fuzz.sh: $target found a failure (see $artifacts)" >&2
    status=1
  fi
}
for target in "${targets[@]}"; do
  [ ${#running[@]} -lt "$jobs" ] || finish_one
  run_target "$target" &
  running[$!]=$target
done
while [ ${#running[@]} -gt 0 ]; do finish_one; done
exit $status

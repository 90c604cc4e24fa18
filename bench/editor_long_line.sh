#!/usr/bin/env bash
# Typing into a script that is a single 1 MB line: keys per second and the
# processor time an idle editor takes, against a bare QPlainTextEdit holding
# the same text (the toolkit's own editor, our peer). Median of RUNS runs;
# peak memory from /usr/bin/time.
#   bench/editor_long_line.sh            (RUNS=5 KEYS=200 BYTES=1048576, BENCH_BUILD=build-bench)
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${BENCH_BUILD:-$root/build-bench}"
runs="${RUNS:-5}"
keys="${KEYS:-200}"
bytes="${BYTES:-1048576}"

launcher=()
if command -v ccache >/dev/null; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DMAPQUILL_BENCH=ON "${launcher[@]}" >/dev/null
cmake --build "$build" --target bench_editor_long_line -j2 >/dev/null
program="$build/bench_editor_long_line"
export QT_QPA_PLATFORM=offscreen

median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

measure() {   # label, extra arguments...
  local label="$1"; shift
  local rates=() idles=() peaks=()
  for _ in $(seq "$runs"); do
    local out
    out="$( { /usr/bin/time -f 'peak_kb=%M' "$program" --bytes "$bytes" --keys "$keys" --idle 3 "$@" 2>&1; } | grep -E 'keys_per_second|peak_kb' | tr '\n' ' ')"
    rates+=("$(sed -E 's/.*keys_per_second=([0-9.]+).*/\1/' <<<"$out")")
    idles+=("$(sed -E 's/.*idle_cpu_percent=([0-9.]+).*/\1/' <<<"$out")")
    peaks+=("$(sed -E 's/.*peak_kb=([0-9]+).*/\1/' <<<"$out")")
  done
  local rate idle peak
  rate="$(printf '%s\n' "${rates[@]}" | median)"
  idle="$(printf '%s\n' "${idles[@]}" | median)"
  peak="$(printf '%s\n' "${peaks[@]}" | median)"
  printf '%-22s %10s keys/s   idle CPU %6s %%   peak %8s kB\n' "$label" "$rate" "$idle" "$peak"
  echo "$rate" > "$build/last_$label.rate"
}

echo "1 line of $bytes bytes, $keys keys typed in its middle, median of $runs runs"
measure mapquill
measure QPlainTextEdit --bare
awk -v ours="$(cat "$build/last_mapquill.rate")" -v peer="$(cat "$build/last_QPlainTextEdit.rate")" \
  'BEGIN { if (peer > 0) printf "ratio (Mapquill / QPlainTextEdit keys per second): %.2f\n", ours / peer }'

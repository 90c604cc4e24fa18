#!/usr/bin/env bash
# Typing into a highlighted 20 MB script: seconds to open and keys per
# second in its middle, with the highlighting on and off, against a bare
# QPlainTextEdit holding the same text (the toolkit's own editor, our peer).
# Median of RUNS runs; peak memory from /usr/bin/time.
#   bench/editor_highlighting.sh          (RUNS=3 KEYS=200 BYTES=20971520, BENCH_BUILD=build-bench)
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${BENCH_BUILD:-$root/build-bench}"
runs="${RUNS:-3}"
keys="${KEYS:-200}"
bytes="${BYTES:-20971520}"

launcher=()
if command -v ccache >/dev/null; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DMAPQUILL_BENCH=ON "${launcher[@]}" >/dev/null
cmake --build "$build" --target bench_editor_highlighting -j2 >/dev/null
program="$build/bench_editor_highlighting"
export QT_QPA_PLATFORM=offscreen

median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

measure() {   # label, extra arguments...
  local label="$1"; shift
  local opens=() rates=() peaks=()
  for _ in $(seq "$runs"); do
    local out
    out="$( { /usr/bin/time -f 'peak_kb=%M' "$program" --bytes "$bytes" --keys "$keys" "$@" 2>&1; } | grep -E 'keys_per_second|peak_kb' | tr '\n' ' ')"
    opens+=("$(sed -E 's/.*open_seconds=([0-9.]+).*/\1/' <<<"$out")")
    rates+=("$(sed -E 's/.*keys_per_second=([0-9.]+).*/\1/' <<<"$out")")
    peaks+=("$(sed -E 's/.*peak_kb=([0-9]+).*/\1/' <<<"$out")")
  done
  local open rate peak
  open="$(printf '%s\n' "${opens[@]}" | median)"
  rate="$(printf '%s\n' "${rates[@]}" | median)"
  peak="$(printf '%s\n' "${peaks[@]}" | median)"
  printf '%-24s open %6s s   %10s keys/s   peak %8s kB\n' "$label" "$open" "$rate" "$peak"
  echo "$rate" > "$build/last_hl_$label.rate"
}

echo "script of $bytes bytes, $keys keys typed in its middle, median of $runs runs"
measure highlighted
measure not_highlighted --off
measure QPlainTextEdit --bare
awk -v ours="$(cat "$build/last_hl_highlighted.rate")" -v peer="$(cat "$build/last_hl_QPlainTextEdit.rate")" \
  'BEGIN { if (peer > 0) printf "ratio (highlighted Mapquill / QPlainTextEdit keys per second): %.2f\n", ours / peer }'

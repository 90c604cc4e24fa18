#!/usr/bin/env bash
# Typing into a highlighted 20 MB script: seconds to open and keys per
# second in its middle, with the highlighting on and off, against a bare
# QPlainTextEdit holding the same text (the toolkit's own editor, our peer).
# Median of RUNS runs; peak memory from /usr/bin/time.
#   bench/editor_highlighting.sh          (RUNS=3 KEYS=200 BYTES=20971520, BENCH_BUILD=build-bench)
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
runs="${RUNS:-3}"
keys="${KEYS:-200}"
bytes="${BYTES:-20971520}"
source "$root/bench/lib/editor.sh"
editor_program bench_editor_highlighting

echo "script of $bytes bytes, $keys keys typed in its middle, median of $runs runs"
args=(--bytes "$bytes" --keys "$keys")
editor_measure highlighted "open_seconds keys_per_second" "${args[@]}"
ours="$MEDIAN_keys_per_second"
editor_measure not_highlighted "open_seconds keys_per_second" "${args[@]}" --off
editor_measure QPlainTextEdit "open_seconds keys_per_second" "${args[@]}" --bare
awk -v ours="$ours" -v peer="$MEDIAN_keys_per_second" \
  'BEGIN { if (peer > 0) printf "ratio (highlighted Mapquill / QPlainTextEdit keys per second): %.2f\n", ours / peer }'

#!/usr/bin/env bash
# Typing into a script that is a single 1 MB line: keys per second and the
# processor time an idle editor takes, against a bare QPlainTextEdit holding
# the same text (the toolkit's own editor, our peer). Median of RUNS runs;
# peak memory from /usr/bin/time.
#   bench/editor_long_line.sh            (RUNS=5 KEYS=200 BYTES=1048576, BENCH_BUILD=build-bench)
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
runs="${RUNS:-5}"
keys="${KEYS:-200}"
bytes="${BYTES:-1048576}"
source "$root/bench/lib/editor.sh"
editor_program bench_editor_long_line

echo "1 line of $bytes bytes, $keys keys typed in its middle, median of $runs runs"
args=(--bytes "$bytes" --keys "$keys" --idle 3)
editor_measure mapquill "keys_per_second idle_cpu_percent" "${args[@]}"
ours="$MEDIAN_keys_per_second"
editor_measure QPlainTextEdit "keys_per_second idle_cpu_percent" "${args[@]}" --bare
awk -v ours="$ours" -v peer="$MEDIAN_keys_per_second" \
  'BEGIN { if (peer > 0) printf "ratio (Mapquill / QPlainTextEdit keys per second): %.2f\n", ours / peer }'

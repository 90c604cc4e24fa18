#!/usr/bin/env bash
# Swiss grid to WGS 84 on 1,000,000 generated lines: mapquill-tools swiss
# against PROJ's cs2cs EPSG:21781 EPSG:4326 on the same file. Prints the
# median time of each, the ratios and the peak memory. The floor reads and
# writes the same numbers without converting them; with BASELINE=<another
# mapquill-tools> that one is timed too.
#   bench/swiss.sh [LINES] [RUNS]
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
lines="${1:-1000000}"
runs="${2:-5}"
source "$root/bench/lib/timing.sh"
command -v cs2cs >/dev/null || { echo "swiss.sh: cs2cs (proj-bin) is not installed" >&2; exit 1; }
out="$root/bench/out/swiss"
mkdir -p "$out"

# East, north, depth over Switzerland, blank-separated: both tools read it.
awk -v n="$lines" 'BEGIN { srand(21781); for (i = 0; i < n; i++)
  printf "%.2f %.2f %.1f\n", 485000 + rand() * 350000, 75000 + rand() * 220000, -rand() * 300 }' >"$out/in.txt"

for ((run = 0; run < runs; run++)); do   # in turn, so that all see the same load
  measure ours "$tool" swiss "$out/in.txt" "$out/ours.txt" --delimiter Space --order yx
  measure floor "$floor" "$out/in.txt" "$out/floor.txt" " "
  measure cs2cs sh -c "cs2cs -f %.8f EPSG:21781 EPSG:4326 <'$out/in.txt' >'$out/peer.txt'"
  [ -z "$baseline" ] ||
    measure base "$baseline" swiss "$out/in.txt" "$out/base.txt" --delimiter Space --order yx
done
for name in ours floor cs2cs ${baseline:+base}; do settle "$name"; done
[ "$(wc -l <"$out/ours.txt")" -eq "$lines" ] || { echo "swiss.sh: our output is short" >&2; exit 1; }
echo "swiss: $lines lines, median of $runs runs"
show "mapquill-tools swiss" ours
show "floor (numbers read and written)" floor
show "cs2cs" cs2cs
[ -n "$baseline" ] && show "baseline swiss" base
ratio "cs2cs / ours" cs2cs ours
ratio "ours / floor" ours floor
[ -n "$baseline" ] && ratio "baseline / ours" base ours
[ -z "$baseline" ] || cmp -s "$out/base.txt" "$out/ours.txt" || echo "  the baseline's output differs" >&2

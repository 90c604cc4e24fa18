#!/usr/bin/env bash
# UTM file conversion: mapquill-tools utm-file against PROJ's cs2cs
# (EPSG:32632 to EPSG:4326) on the same generated file of easting, northing,
# depth lines. Prints the median of several runs, the ratios and peak memory;
# memory is also measured on a file a tenth the size to show it stays flat.
# The floor reads and writes the same numbers without converting them; with
# BASELINE=<another mapquill-tools> that one is timed too.
#   bench/utm_file.sh [LINES] [RUNS]      (default 1000000 lines, 5 runs)
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
lines="${1:-1000000}"
runs="${2:-5}"
source "$root/bench/lib/timing.sh"
command -v cs2cs >/dev/null || { echo "utm_file.sh: cs2cs (proj-bin) is not installed" >&2; exit 1; }
out="$root/bench/out/utm_file"
mkdir -p "$out"

generate() {   # generate COUNT FILE: points within 3 degrees of zone 32's meridian
  awk -v n="$1" 'BEGIN { srand(12); for (i = 0; i < n; i++)
    printf "%.3f\t%.3f\t%.2f\n", 300000 + rand() * 400000, 4000000 + rand() * 3000000, -rand() * 5000 }' > "$2"
}
generate "$lines" "$out/in.txt"
generate "$((lines / 10))" "$out/small.txt"

for ((run = 0; run < runs; run++)); do   # in turn, so that all see the same load
  measure ours "$tool" utm-file --zone 32 --hemisphere N "$out/in.txt" "$out/ours.txt"
  measure floor "$floor" "$out/in.txt" "$out/floor.txt"
  measure cs2cs sh -c "cs2cs -f %.8f EPSG:32632 EPSG:4326 <'$out/in.txt' >'$out/peer.txt'"
  [ -z "$baseline" ] ||
    measure base "$baseline" utm-file --zone 32 --hemisphere N "$out/in.txt" "$out/base.txt"
done
for name in ours floor cs2cs ${baseline:+base}; do settle "$name"; done
timed small 1 "$tool" utm-file --zone 32 --hemisphere N "$out/small.txt" "$out/ours_small.txt"
echo "UTM file, $lines lines ($(du -h "$out/in.txt" | cut -f1)), median of $runs runs"
show "mapquill-tools utm-file" ours
show "mapquill-tools utm-file, $((lines / 10)) lines" small
show "floor (numbers read and written)" floor
show "cs2cs" cs2cs
[ -n "$baseline" ] && show "baseline utm-file" base
ratio "cs2cs / ours" cs2cs ours
ratio "ours / floor" ours floor
[ -n "$baseline" ] && ratio "baseline / ours" base ours
[ -z "$baseline" ] || cmp -s "$out/base.txt" "$out/ours.txt" || echo "  the baseline's output differs" >&2

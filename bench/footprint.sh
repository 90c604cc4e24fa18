#!/usr/bin/env bash
# Insonified area: mapquill-tools footprint on generated pings at 100 m depth
# with the default beam (88 records, 2112 bytes a ping). Prints the median
# time of several runs, the output rate in MB/s and peak memory (also for a
# tenth of the pings, to show it stays flat); as the peer, dd writes the
# same number of bytes to the same disk (the ceiling).
#   bench/footprint.sh [PINGS] [RUNS]     (default 100000 pings, 5 runs)
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
pings="${1:-100000}"
runs="${2:-5}"
source "$root/bench/lib/timing.sh"
out="$root/bench/out/footprint"
mkdir -p "$out"

generate() {   # generate COUNT FILE: pings inside the box, depth 100 m
  awk -v n="$1" 'BEGIN { srand(7); for (i = 0; i < n; i++)
    printf "%.7f %.7f -100\n", 8 + rand() * 0.5, 54 + rand() * 0.5 }' > "$2"
}
generate "$pings" "$out/pings.txt"
generate "$((pings / 10))" "$out/small.txt"
box=(--lat-min 54 --lat-max 54.5 --lon-min 8 --lon-max 8.5)

timed ours "$runs" "$tool" footprint "$out/pings.txt" "$out/ours.bin" "${box[@]}"
timed small 1 "$tool" footprint "$out/small.txt" "$out/small.bin" "${box[@]}"
bytes=$(stat -c %s "$out/ours.bin")
timed dd "$runs" dd if=/dev/zero of="$out/dd.bin" bs=1M count="$((bytes / 1048576))" status=none
rm -f "$out/dd.bin"

mb=$(awk -v b="$bytes" 'BEGIN { print b / 1000000 }')
echo "Footprint, $pings pings -> $(printf '%.0f' "$mb") MB, median of $runs runs"
show "mapquill-tools footprint" ours
show "mapquill-tools footprint, $((pings / 10)) pings" small
show "dd, same bytes" dd
awk -v mb="$mb" -v a="$TIME_ours" -v b="$TIME_dd" 'BEGIN { if (a > 0) printf "  %-42s %7.1f MB/s\n", "output rate, ours", mb / a
  if (b > 0) printf "  %-42s %7.1f MB/s\n", "output rate, dd", mb / b }'
ratio "dd / ours" dd ours

#!/usr/bin/env bash
# UTM file conversion: mapquill-tools utm-file against PROJ's cs2cs
# (EPSG:32632 to EPSG:4326) on the same generated file of easting, northing,
# depth lines. Prints the median of several runs, the ratio and peak memory;
# memory is also measured on a file a tenth the size to show it stays flat.
#   bench/utm_file.sh [LINES] [RUNS]      (default 1000000 lines, 5 runs)
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
lines="${1:-1000000}"
runs="${2:-5}"
tool="$root/build-release/src/cli/mapquill-tools"
out="$root/bench/out/utm_file"
mkdir -p "$out"

if [ ! -x "$tool" ]; then
  cmake -S "$root" -B "$root/build-release" -G Ninja -DCMAKE_BUILD_TYPE=Release -DMAPQUILL_BUILD_GUI=OFF >/dev/null
  cmake --build "$root/build-release" --target mapquill-tools >/dev/null
fi
command -v cs2cs >/dev/null || { echo "utm_file.sh: cs2cs (proj-bin) is not installed" >&2; exit 1; }

generate() {   # generate COUNT FILE: points within 3 degrees of zone 32's meridian
  awk -v n="$1" 'BEGIN { srand(12); for (i = 0; i < n; i++)
    printf "%.3f\t%.3f\t%.2f\n", 300000 + rand() * 400000, 4000000 + rand() * 3000000, -rand() * 5000 }' > "$2"
}
generate "$lines" "$out/in.txt"
generate "$((lines / 10))" "$out/small.txt"

# median_time CMD...: runs the command $runs times, prints the median seconds.
median_time() {
  local times=()
  for _ in $(seq "$runs"); do
    local start end
    start=$(date +%s.%N)
    "$@"
    end=$(date +%s.%N)
    times+=("$(echo "$end - $start" | bc -l)")
  done
  printf '%s\n' "${times[@]}" | sort -g | awk '{ t[NR] = $1 } END { print t[int((NR + 1) / 2)] }'
}
peak_kb() { /usr/bin/time -f %M "$@" 2>&1 >/dev/null | tail -1; }

ours() { "$tool" utm-file --zone 32 --hemisphere N "$1" "$out/ours.txt"; }
peer() { cs2cs -f %.8f EPSG:32632 EPSG:4326 < "$1" > "$out/peer.txt"; }

ours_s=$(median_time ours "$out/in.txt")
peer_s=$(median_time peer "$out/in.txt")
ours_kb=$(peak_kb "$tool" utm-file --zone 32 --hemisphere N "$out/in.txt" "$out/ours.txt")
ours_small_kb=$(peak_kb "$tool" utm-file --zone 32 --hemisphere N "$out/small.txt" "$out/ours_small.txt")
peer_kb=$(peak_kb sh -c "cs2cs -f %.8f EPSG:32632 EPSG:4326 < '$out/in.txt'")

echo "UTM file, $lines lines ($(du -h "$out/in.txt" | cut -f1)), median of $runs runs"
printf '  mapquill-tools utm-file  %8.3f s   peak %6d KiB (%d KiB at %d lines)\n' "$ours_s" "$ours_kb" "$ours_small_kb" "$((lines / 10))"
printf '  cs2cs                    %8.3f s   peak %6d KiB\n' "$peer_s" "$peer_kb"
printf '  ratio cs2cs / ours       %8.2f\n' "$(echo "$peer_s / $ours_s" | bc -l)"

#!/usr/bin/env bash
# Swiss grid to WGS 84 on 1,000,000 generated lines: mapquill-tools swiss
# against PROJ's cs2cs EPSG:21781 EPSG:4326 on the same file. Prints the
# median time of each, the ratio and the peak memory.
#   bench/swiss.sh [LINES] [RUNS]
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
lines="${1:-1000000}"
runs="${2:-5}"
tool="$root/build-release/src/cli/mapquill-tools"
if [ ! -x "$tool" ]; then
  cmake -S "$root" -B "$root/build-release" -G Ninja -DCMAKE_BUILD_TYPE=Release -DMAPQUILL_BUILD_GUI=OFF >/dev/null
  cmake --build "$root/build-release" --target mapquill-tools >/dev/null
fi
command -v cs2cs >/dev/null || { echo "swiss.sh: cs2cs (proj-bin) is not installed" >&2; exit 1; }
out="$root/bench/out/swiss"
mkdir -p "$out"

# East, north, depth over Switzerland, blank-separated: both tools read it.
awk -v n="$lines" 'BEGIN { srand(21781); for (i = 0; i < n; i++)
  printf "%.2f %.2f %.1f\n", 485000 + rand() * 350000, 75000 + rand() * 220000, -rand() * 300 }' >"$out/in.txt"

# Runs a command RUNS times; prints "median_seconds peak_kb".
measure() {
  local times=() mems=() i
  for ((i = 0; i < runs; i++)); do
    /usr/bin/time -f "%e %M" -o "$out/time.txt" "$@"
    read -r t m <"$out/time.txt"
    times+=("$t"); mems+=("$m")
  done
  printf '%s\n' "${times[@]}" | sort -g | awk '{ a[NR] = $1 } END { printf "%s ", a[int((NR + 1) / 2)] }'
  printf '%s\n' "${mems[@]}" | sort -g | tail -1
}

ours=$(measure "$tool" swiss "$out/in.txt" "$out/ours.txt" --delimiter Space --order yx)
peer=$(measure sh -c "cs2cs -f %.8f EPSG:21781 EPSG:4326 <'$out/in.txt' >'$out/peer.txt'")
read -r ours_t ours_m <<<"$ours"
read -r peer_t peer_m <<<"$peer"
[ "$(wc -l <"$out/ours.txt")" -eq "$lines" ] || { echo "swiss.sh: our output is short" >&2; exit 1; }
echo "swiss: $lines lines, median of $runs runs"
echo "  mapquill-tools swiss  ${ours_t} s  peak ${ours_m} KB"
echo "  cs2cs                 ${peer_t} s  peak ${peer_m} KB"
awk -v a="$ours_t" -v b="$peer_t" 'BEGIN { printf "  ratio (cs2cs / ours)  %.2f\n", (a > 0 ? b / a : 0) }'

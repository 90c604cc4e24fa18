#!/usr/bin/env bash
# Insonified area: mapquill-tools footprint on generated pings at 100 m depth
# with the default beam (88 records, 2112 bytes a ping). Prints the median
# time of several runs, the output rate in MB/s and peak memory; as the
# peer, dd writes the same number of bytes to the same disk (the ceiling).
#   bench/footprint.sh [PINGS] [RUNS]     (default 100000 pings, 5 runs)
set -euo pipefail

root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
pings="${1:-100000}"
runs="${2:-5}"
tool="$root/build-release/src/cli/mapquill-tools"
out="$root/bench/out/footprint"
mkdir -p "$out"

if [ ! -x "$tool" ]; then
  cmake -S "$root" -B "$root/build-release" -G Ninja -DCMAKE_BUILD_TYPE=Release -DMAPQUILL_BUILD_GUI=OFF >/dev/null
  cmake --build "$root/build-release" --target mapquill-tools >/dev/null
fi

generate() {   # generate COUNT FILE: pings inside the box, depth 100 m
  awk -v n="$1" 'BEGIN { srand(7); for (i = 0; i < n; i++)
    printf "%.7f %.7f -100\n", 8 + rand() * 0.5, 54 + rand() * 0.5 }' > "$2"
}
generate "$pings" "$out/pings.txt"
generate "$((pings / 10))" "$out/small.txt"
box=(--lat-min 54 --lat-max 54.5 --lon-min 8 --lon-max 8.5)

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

ours() { "$tool" footprint "$out/pings.txt" "$out/ours.bin" "${box[@]}" >/dev/null; }
ours_s=$(median_time ours)
bytes=$(stat -c %s "$out/ours.bin")
peer_plain() { dd if=/dev/zero of="$out/dd.bin" bs=1M count="$((bytes / 1048576))" status=none; }
peer_s=$(median_time peer_plain)
ours_kb=$(peak_kb "$tool" footprint "$out/pings.txt" "$out/ours.bin" "${box[@]}")
small_kb=$(peak_kb "$tool" footprint "$out/small.txt" "$out/small.bin" "${box[@]}")

mb=$(echo "$bytes / 1000000" | bc -l)
echo "Footprint, $pings pings -> $(printf '%.0f' "$mb") MB, median of $runs runs"
printf '  mapquill-tools footprint %8.3f s  %7.1f MB/s   peak %6d KiB (%d KiB at %d pings)\n' \
  "$ours_s" "$(echo "$mb / $ours_s" | bc -l)" "$ours_kb" "$small_kb" "$((pings / 10))"
printf '  dd, same bytes           %8.3f s  %7.1f MB/s\n' "$peer_s" "$(echo "$mb / $peer_s" | bc -l)"
printf '  ratio dd / ours          %8.2f\n' "$(echo "$peer_s / $ours_s" | bc -l)"
rm -f "$out/dd.bin"

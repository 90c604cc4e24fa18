#!/usr/bin/env bash
# One plain replacement over a 100 MB generated text file with CR LF lines:
# mapquill-tools replace --replace A B against sed 's/A/B/g' (C locale),
# which produce the same bytes. Prints the median times, the ratio and the
# peak memory of each.
#   bench/replace.sh [MEGABYTES] [RUNS]
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
megabytes="${1:-100}"
runs="${2:-5}"
tool="$root/build-release/src/cli/mapquill-tools"
if [ ! -x "$tool" ]; then
  cmake -S "$root" -B "$root/build-release" -G Ninja -DCMAKE_BUILD_TYPE=Release -DMAPQUILL_BUILD_GUI=OFF >/dev/null
  cmake --build "$root/build-release" --target mapquill-tools >/dev/null
fi
out="$root/bench/out/replace"
mkdir -p "$out"

# Lines of 20 to 120 bytes, some with an "A" or several, ended by CR LF.
awk -v bytes="$((megabytes * 1000000))" 'BEGIN { srand(7); total = 0
  while (total < bytes) {
    line = sprintf("P%d %.5f %.5f %.1f", NR++, 7 + rand(), 46 + rand(), rand() * 1000)
    k = int(rand() * 6)
    for (j = 0; j < k; j++) line = line (rand() < 0.5 ? " Area" : " Bern A")
    printf "%s\r\n", line; total += length(line) + 2 } }' >"$out/in.txt"

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

ours=$(measure "$tool" replace "$out/in.txt" "$out/ours.txt" --replace A B)
peer=$(measure sh -c "LC_ALL=C sed 's/A/B/g' '$out/in.txt' >'$out/peer.txt'")
read -r ours_t ours_m <<<"$ours"
read -r peer_t peer_m <<<"$peer"
cmp -s "$out/ours.txt" "$out/peer.txt" || { echo "replace.sh: outputs differ" >&2; exit 1; }
echo "replace: $(($(wc -c <"$out/in.txt") / 1000000)) MB, median of $runs runs, same bytes as sed"
echo "  mapquill-tools replace  ${ours_t} s  peak ${ours_m} KB"
echo "  sed 's/A/B/g'           ${peer_t} s  peak ${peer_m} KB"
awk -v a="$ours_t" -v b="$peer_t" 'BEGIN { printf "  ratio (sed / ours)     %.2f\n", (a > 0 ? b / a : 0) }'

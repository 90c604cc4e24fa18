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
source "$root/bench/lib/timing.sh"
out="$root/bench/out/replace"
mkdir -p "$out"

# Lines of 20 to 120 bytes, some with an "A" or several, ended by CR LF.
awk -v bytes="$((megabytes * 1000000))" 'BEGIN { srand(7); total = 0
  while (total < bytes) {
    line = sprintf("P%d %.5f %.5f %.1f", NR++, 7 + rand(), 46 + rand(), rand() * 1000)
    k = int(rand() * 6)
    for (j = 0; j < k; j++) line = line (rand() < 0.5 ? " Area" : " Bern A")
    printf "%s\r\n", line; total += length(line) + 2 } }' >"$out/in.txt"

timed ours "$runs" "$tool" replace "$out/in.txt" "$out/ours.txt" --replace A B
timed sed "$runs" sh -c "LC_ALL=C sed 's/A/B/g' '$out/in.txt' >'$out/peer.txt'"
cmp -s "$out/ours.txt" "$out/peer.txt" || { echo "replace.sh: outputs differ" >&2; exit 1; }
echo "replace: $(($(wc -c <"$out/in.txt") / 1000000)) MB, median of $runs runs, same bytes as sed"
show "mapquill-tools replace" ours
show "sed 's/A/B/g'" sed
ratio "sed / ours" sed ours

#!/usr/bin/env bash
# Binary xyz to text: mapquill-tools bin2ascii against GMT's gmt convert -bi3d
# on the binary records of one generated 1201 x 1201 tile; peak memory also
# for an input ten times larger, which must stay as flat.
#   bench/bin2ascii.sh [RUNS]     (default 5 runs each; the median is shown)
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
runs="${1:-5}"
source "$root/bench/lib/timing.sh"
command -v gmt >/dev/null || { echo "bin2ascii.sh: gmt is not installed" >&2; exit 1; }
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cd "$work"

# Real coordinates with random heights, as the SRTM tool writes them.
head -c 2884802 /dev/urandom > N45E010.hgt
"$tool" srtm N45E010.hgt in.bin --min-z -32768 --max-z 32767 >/dev/null
for i in 1 2 3 4 5 6 7 8 9 10; do cat in.bin; done > big.bin

echo "Binary to text, 1 442 401 records ($(stat -c %s in.bin) bytes), $runs runs each, median"
timed ours "$runs" "$tool" bin2ascii in.bin ours.txt
timed gmt "$runs" sh -c 'gmt convert in.bin -bi3d > gmt.txt'
timed ours_big "$(( runs < 3 ? runs : 3 ))" "$tool" bin2ascii big.bin big.txt
show "mapquill-tools bin2ascii" ours
show "gmt convert -bi3d" gmt
show "mapquill-tools bin2ascii, 10x input" ours_big
ratio "gmt convert / ours" gmt ours
echo "lines: ours $(wc -l < ours.txt), gmt $(wc -l < gmt.txt)"

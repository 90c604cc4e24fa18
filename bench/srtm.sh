#!/usr/bin/env bash
# SRTM tile to xyz records: mapquill-tools srtm against GMT's grd2xyz (text
# and binary) and GDAL's gdal_translate -of XYZ, on one generated 1201 x 1201
# tile with every sample kept. Also the peak memory for a 3601 x 3601 tile,
# which must stay as flat as for the small one.
#   bench/srtm.sh [RUNS]     (default 5 runs each; the median is shown)
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
runs="${1:-5}"
source "$root/bench/lib/timing.sh"
for peer in gmt gdal_translate; do
  command -v "$peer" >/dev/null || { echo "srtm.sh: $peer is not installed" >&2; exit 1; }
done
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# Random heights: every sample passes the widest bounds.
head -c 2884802 /dev/urandom > "$work/N45E010.hgt"
mkdir -p "$work/big"
head -c 25934402 /dev/urandom > "$work/big/N45E010.hgt"
all=(--min-z -32768 --max-z 32767)
cd "$work"

echo "SRTM tile 1201 x 1201 (1 442 401 records), $runs runs each, median"
timed ours_text "$runs" "$tool" srtm N45E010.hgt ours.txt --format ascii "${all[@]}"
timed gmt_text "$runs" sh -c 'gmt grd2xyz N45E010.hgt=gd > gmt.txt'
timed gdal_text "$runs" gdal_translate -q -of XYZ N45E010.hgt gdal.xyz
timed ours_bin "$runs" "$tool" srtm N45E010.hgt ours.bin "${all[@]}"
timed gmt_bin "$runs" sh -c 'gmt grd2xyz N45E010.hgt=gd -bo3d > gmt.bin'
timed ours_big "$(( runs < 3 ? runs : 3 ))" "$tool" srtm big/N45E010.hgt big.bin "${all[@]}"

show "mapquill-tools srtm --format ascii" ours_text
show "gmt grd2xyz TILE=gd" gmt_text
show "gdal_translate -of XYZ" gdal_text
show "mapquill-tools srtm (binary)" ours_bin
show "gmt grd2xyz TILE=gd -bo3d" gmt_bin
show "mapquill-tools srtm, 3601 x 3601 tile" ours_big
ratio "text: gmt grd2xyz / ours" gmt_text ours_text
ratio "text: gdal_translate / ours" gdal_text ours_text
ratio "binary: gmt grd2xyz -bo3d / ours" gmt_bin ours_bin
echo "records: ours $(wc -l < ours.txt), gmt $(wc -l < gmt.txt), gdal $(wc -l < gdal.xyz)"

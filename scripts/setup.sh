#!/usr/bin/env bash
# Installs what building and testing Mapquill needs on Debian 12, where missing.
set -euo pipefail
packages=(
  cmake ninja-build g++ clang          # the build
  qt6-base-dev qt6-svg-dev libgl1-mesa-dev
  libcli11-dev                         # mapquill-tools' arguments
  librsvg2-bin man-db                  # the installed icons; the manual pages' test
  dpkg-dev desktop-file-utils appstream  # the .deb (scripts/package.sh) and its check
  xvfb xauth locales                   # window tests, the decimal-comma test
  gmt gmt-gshhg fonts-urw-base35       # GMT (gridding, colour tables, coastlines at every resolution); font samples
  ghostscript gawk                     # gmt psconvert for the Map dock; gawk for batch files that pipe through it
  proj-bin                             # cs2cs: coordinate tests compare with it
  gdal-bin                             # ogrinfo: KML tests open our documents with it
  doctest-dev git                      # the plain tests; the path-name check
  bc time                              # the benchmarks
)
# The Windows check (scripts/windows-check.sh) cross-builds with mingw-w64,
# runs the result under Wine, packs the zip and takes a screenshot of the
# program on a virtual display.
if [ "${MAPQUILL_WINDOWS_CHECK:-0}" = 1 ]; then
  packages+=(g++-mingw-w64-x86-64-posix wine wine64 zip unzip xdotool x11-apps netpbm fonts-dejavu-core)
fi
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# A locale with a decimal comma, for the test that guards the "." in numbers.
if ! locale -a 2>/dev/null | grep -qi '^de_DE\.utf-\?8$'; then
  sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo sed -i 's/^# *de_DE.UTF-8 UTF-8/de_DE.UTF-8 UTF-8/' /etc/locale.gen
  grep -q '^de_DE.UTF-8 UTF-8' /etc/locale.gen || echo 'de_DE.UTF-8 UTF-8' | $sudo tee -a /etc/locale.gen >/dev/null
  $sudo locale-gen >/dev/null
fi

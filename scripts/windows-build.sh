#!/usr/bin/env bash
# Cross-builds the whole program for 64-bit Windows (Release, with mingw-w64)
# against the Windows Qt in build-windows-check/windows/:
#   scripts/windows-build.sh [TARGET...]     (all targets when none is named)
# The Windows Qt is the archive in ../shared/qt-windows beside the checkout
# (MAPQUILL_SHARED_DIR names another folder that holds qt-windows/). It is
# unpacked once into a cache folder outside the tree (MAPQUILL_CACHE_DIR,
# ~/.cache/mapquill by default), named by the archive's checksum, and reused
# while the archive is unchanged. scripts/windows-check.sh and
# scripts/package-windows.sh build through this script.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
shared="${MAPQUILL_SHARED_DIR:-$root/../shared}"
archive="$shared/qt-windows/qt-6.4.2-mingw64.tar.xz"
if [ ! -f "$archive" ]; then
  echo "windows-build: the Windows Qt is missing: there is no $archive" >&2
  echo "  (Qt 6.4.2 built with mingw-w64; set MAPQUILL_SHARED_DIR to the folder that holds" >&2
  echo "  qt-windows/ when it is not ../shared beside the checkout)" >&2
  exit 1
fi
MAPQUILL_WINDOWS_CHECK=1 scripts/setup.sh
jobs="${WINDOWS_CHECK_JOBS:-$(nproc)}"
out=build-windows-check
mkdir -p "$out/include"

# A changed archive gets a fresh folder, and the old one goes.
cache="${MAPQUILL_CACHE_DIR:-${XDG_CACHE_HOME:-$HOME/.cache}/mapquill}"
sum="$(sha256sum "$archive" | cut -c1-16)"
qt="$cache/qt-windows-$sum/qt6-mingw64"
if [ ! -f "$qt/.unpacked" ]; then
  mkdir -p "$cache"
  rm -rf "$cache"/qt-windows-*
  tmp="$(mktemp -d "$cache/unpacking.XXXXXX")"
  tar -C "$tmp" -xJf "$archive"
  touch "$tmp/qt6-mingw64/.unpacked"
  mv "$tmp" "$cache/qt-windows-$sum"
fi

# CLI11 and doctest are header-only; the cross compiler sees them through a
# folder that holds only them, never the rest of the Linux /usr/include.
ln -sfn /usr/include/CLI "$out/include/CLI"
ln -sfn /usr/include/doctest "$out/include/doctest"

launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
# Qt's build tools (moc, rcc, uic) are Debian's own, of the same version.
# Release at -O1: the zip is made of this build, and -O1 gives it most of
# -O2's speed in little more than the compile time of no optimisation (the
# build's time counts in CI).
cmake -S . -B "$out/windows" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE="-O1 -DNDEBUG" \
  "${launcher[@]}" \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" -DCMAKE_PREFIX_PATH="$qt" \
  -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
  -DMQ_CLI11_INCLUDE_DIR="$root/$out/include" -DMQ_DOCTEST_INCLUDE_DIR="$root/$out/include" >/dev/null
targets=()
[ $# -gt 0 ] && targets=(--target "$@")
log="$out/windows/build-output.txt"
cmake --build "$out/windows" -j"$jobs" "${targets[@]}" 2>&1 | tee "$log"
# As in the Linux build, a warning fails CI.
if [ -n "${CI:-}" ] && grep -q 'warning:' "$log"; then
  echo "windows-build: the Windows build gave warnings (see above)" >&2
  exit 1
fi

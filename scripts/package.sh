#!/usr/bin/env bash
# Builds the packages a user installs:
#   scripts/package.sh         the .deb for Debian 12 and the Windows zip
#   scripts/package.sh deb     the .deb alone
# The .deb, build-release/mapquill_<version>_<arch>.deb, is made by CPack from
# the Release build in build-release/ (the one scripts/run.sh keeps there);
# the zip by scripts/package-windows.sh, in build-windows-check/. Both builds
# are kept, so a second call rebuilds only what changed.
set -euo pipefail
cd "$(dirname "$0")/.."
case "${1:-all}" in
  all | deb) ;;
  *) echo "usage: scripts/package.sh [deb]" >&2; exit 2 ;;
esac
scripts/setup.sh
launcher=()
if command -v ccache >/dev/null; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
cmake -S . -B build-release -G Ninja -DCMAKE_BUILD_TYPE=Release "${launcher[@]}" >/dev/null
log=build-release/package-build-output.txt
cmake --build build-release --target mapquill mapquill-tools mapquill-data -j"$(nproc)" 2>&1 | tee "$log"
# In CI a warning fails the build, as in scripts/test.sh.
if [ -n "${CI:-}" ] && grep -q 'warning:' "$log"; then
  echo "package.sh: the build gave warnings (see above)" >&2
  exit 1
fi
rm -f build-release/mapquill_*.deb
(cd build-release && cpack -G DEB >/dev/null)
debs=(build-release/mapquill_*.deb)
echo "package: ${debs[0]}"
if [ "${1:-all}" = all ]; then
  scripts/package-windows.sh
fi

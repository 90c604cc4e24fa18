#!/usr/bin/env bash
# Builds the Windows zip, Mapquill-<version>-win64.zip, in build-windows-check/:
#   scripts/package-windows.sh
# It holds mapquill.exe and mapquill-tools.exe (built by
# scripts/windows-build.sh), the Qt plugins the program loads at run time,
# every DLL that these import, directly or through another DLL, from the
# Windows Qt or mingw's runtime (read with objdump, never listed by hand; the
# rest are Windows' own), the README, and Qt's licence with where its source
# comes from. Unpacked anywhere, mapquill.exe runs without anything else.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
out=build-windows-check
scripts/windows-build.sh mapquill mapquill-tools >/dev/null
build="$out/windows"
qt="$(sed -n 's/^CMAKE_PREFIX_PATH:[A-Z]*=//p' "$build/CMakeCache.txt")"
version="$(sed -n 's/^CMAKE_PROJECT_VERSION:[A-Z]*=//p' "$build/CMakeCache.txt")"
name="Mapquill-$version-win64"
stage="$out/package/$name"
rm -rf "$out/package"
mkdir -p "$stage"

# Where imported DLLs are looked for: the Windows Qt, then mingw's runtime.
gxx=x86_64-w64-mingw32-g++-posix
search=("$qt/bin" "$(dirname "$($gxx -print-file-name=libstdc++-6.dll)")"
        "$(dirname "$($gxx -print-file-name=libwinpthread-1.dll)")")

cp "$build/src/app/mapquill.exe" "$build/src/cli/mapquill-tools.exe" "$stage/"
# Loaded by Qt at run time, so no import names them: the Windows platform,
# the Windows style, and SVG, in which every icon of the program is drawn.
for plugin in platforms/qwindows.dll styles/qwindowsvistastyle.dll iconengines/qsvgicon.dll \
              imageformats/qsvg.dll; do
  mkdir -p "$stage/$(dirname "$plugin")"
  cp "$qt/plugins/$plugin" "$stage/$plugin"
done

# Every DLL imported by a file in the zip that comes from the folders above
# joins it, beside the executables, and is read in turn.
queue=()
while IFS= read -r file; do queue+=("$file"); done < <(find "$stage" -name '*.exe' -o -name '*.dll')
declare -A seen=()
while [ ${#queue[@]} -gt 0 ]; do
  file="${queue[0]}"
  queue=("${queue[@]:1}")
  while IFS= read -r dll; do
    key="${dll,,}"
    [ -n "${seen[$key]:-}" ] && continue
    seen[$key]=1
    for dir in "${search[@]}"; do
      if [ -f "$dir/$dll" ]; then
        cp "$dir/$dll" "$stage/$dll"
        queue+=("$stage/$dll")
        break
      fi
    done
  done < <(x86_64-w64-mingw32-objdump -p "$file" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr -d '\r')
done

cp README.md "$stage/README.md"
{
  cat <<'TEXT'
Mapquill for Windows ships the Qt 6.4.2 libraries (the Qt6*.dll files and the
plugins in the folders beside them), which are licensed under the GNU Lesser
General Public License version 3, whose text follows (it builds on the GNU
General Public License version 3, in GPL-3.txt). You may replace these DLLs
with your own build of Qt 6.4.2.

Where their source comes from:
- qtbase: Debian's source package qt6-base, version 6.4.2+dfsg-10
  (https://sources.debian.org/src/qt6-base/6.4.2+dfsg-10/), built for Windows
  with Debian 12's mingw-w64 with two small changes for a Windows build
  (no pen-tablet input; the window code without OpenGL);
- qtsvg: Qt's release qtsvg-everywhere-src-6.4.2
  (https://download.qt.io/archive/qt/6.4/6.4.2/submodules/).

The C++ runtime DLLs (libstdc++-6.dll, libgcc_s_seh-1.dll) are GCC's, under
the GPL version 3 with the GCC Runtime Library Exception; libwinpthread-1.dll
is mingw-w64's, under the MIT licence.

------------------------------------------------------------------------------
TEXT
  cat /usr/share/common-licenses/LGPL-3
} >"$stage/Qt-LICENSE.txt"
cp /usr/share/common-licenses/GPL-3 "$stage/GPL-3.txt"

zip="$out/$name.zip"
rm -f "$zip"
(cd "$out/package" && zip -qr -X "../$name.zip" "$name")
echo "package-windows: $zip ($(du -k "$zip" | cut -f1) kB):"
(cd "$stage" && find . -type f | sed 's|^\./||' | sort | tr '\n' ' ')
echo

#!/usr/bin/env bash
# Checks the .deb as a user gets it: builds it (scripts/package.sh deb),
# installs it with apt-get, runs the installed programs, validates the desktop
# entry and the AppStream metadata, renders both manual pages, and removes the
# package again. Needs root (or sudo); a mapquill package already installed is
# refused, so that the check never removes a user's own.
#   scripts/package-check.sh
set -euo pipefail
cd "$(dirname "$0")/.."
sudo=""
[ "$(id -u)" -ne 0 ] && sudo="sudo"
if dpkg-query -W -f='${Status}' mapquill 2>/dev/null | grep -q "install ok installed"; then
  echo "package-check: the mapquill package is installed already; remove it first" >&2
  exit 1
fi
scripts/package.sh deb
debs=(build-release/mapquill_*.deb)
deb="${debs[0]}"
id=org.example.mapquill.Mapquill
version="$(sed -n 's/^CMAKE_PROJECT_VERSION:[A-Z]*=//p' build-release/CMakeCache.txt)"

failures=0
fail() {
  echo "package-check: FAIL: $*" >&2
  failures=$((failures + 1))
}
check() {   # check DESCRIPTION COMMAND...: the command must succeed (its output shows when not)
  local what="$1" output
  shift
  output="$("$@" 2>&1)" || { echo "$output" >&2; fail "$what"; }
}

echo "package-check: $(dpkg-deb -f "$deb" Package Version Depends Recommends | tr '\n' ' ')"
dpkg-deb -f "$deb" Depends | grep -q 'libqt6widgets6' || fail "Depends lacks the Qt 6 libraries"
if dpkg-deb -f "$deb" Depends | grep -qE '(^|[ ,])(gmt|ghostscript|proj-bin)([ ,(]|$)'; then
  fail "GMT, Ghostscript or PROJ are required instead of recommended"
fi
dpkg-deb -f "$deb" Recommends | grep -q 'gmt-gshhg' || fail "Recommends lacks gmt-gshhg"

apt_log="$(mktemp)"
apt() {   # apt-get quietly; its output is shown when it fails
  DEBIAN_FRONTEND=noninteractive $sudo apt-get -y -q "$@" >"$apt_log" 2>&1 || {
    cat "$apt_log" >&2
    echo "package-check: apt-get $* failed" >&2
    return 1
  }
}
apt install "./$deb"
removed=0
remove() {
  [ "$removed" = 1 ] && return
  removed=1
  apt remove mapquill
}
trap 'remove; rm -f "$apt_log"' EXIT

check "mapquill-tools --help from /usr/bin" /usr/bin/mapquill-tools --help
[ "$(/usr/bin/mapquill-tools --version)" = "mapquill-tools $version" ] || fail "mapquill-tools --version"
[ "$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM /usr/bin/mapquill --version)" = "mapquill $version" ] ||
  fail "mapquill --version"
check "desktop-file-validate" desktop-file-validate "/usr/share/applications/$id.desktop"
check "appstreamcli validate" appstreamcli validate --no-net "/usr/share/metainfo/$id.metainfo.xml"
for page in mapquill mapquill-tools; do
  warnings="$(MANWIDTH=80 man --warnings "$page" 2>&1 >/dev/null)" || fail "man $page"
  [ -z "$warnings" ] || fail "man $page: $warnings"
done
for size in 16x16 32x32 48x48 64x64 128x128 256x256 scalable; do
  ls "/usr/share/icons/hicolor/$size/apps/$id".* >/dev/null 2>&1 || fail "no $size icon"
done

remove
for file in /usr/bin/mapquill /usr/bin/mapquill-tools "/usr/share/applications/$id.desktop"; do
  [ ! -e "$file" ] || fail "$file is still there after the package was removed"
done
if [ "$failures" -gt 0 ]; then
  echo "package-check: $failures failures" >&2
  exit 1
fi
echo "package-check: $deb installs, runs and is removed cleanly"

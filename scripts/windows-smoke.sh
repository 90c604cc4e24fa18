#!/usr/bin/env bash
# The Windows program's smoke run, under Wine on a virtual X display (the
# Windows check runs it through xvfb-run, in its own WINEPREFIX):
#   scripts/windows-smoke.sh FOLDER SCRIPT SCREENSHOT
# Starts FOLDER/mapquill.exe (an unpacked zip) with the batch file SCRIPT,
# waits for the main window, opens Convert SRTM data from the Tools menu,
# saves a screenshot of the screen as SCREENSHOT (PNG) and checks that the
# opened file went into the recent files in the registry. Exit 1 on a fault.
set -euo pipefail
folder="$1" script="$2" shot="$3"
status=0
wine "$folder/mapquill.exe" "$(winepath -w "$script")" >/dev/null 2>&1 &
program=$!
found() { xdotool search --onlyvisible --name "$1" >/dev/null 2>&1; }
wait_for() {   # wait_for TITLE: up to a minute for a visible window so named
  for _ in $(seq 120); do
    found "$1" && return 0
    sleep 0.5
  done
  echo "windows-smoke: no window \"$1\" appeared" >&2
  return 1
}
if wait_for "^Mapquill"; then
  sleep 3   # the script opens in its editor (inside the main window)
  xdotool search --onlyvisible --name "^Mapquill" windowactivate --sync >/dev/null 2>&1 || true
  # Alt+T opens "Text / Plots" (the first menu with that access key); two
  # menus to the right is Tools, where Up wraps round to its last entry.
  xdotool key --delay 400 alt+t Right Right Up Return
  if wait_for "^Convert SRTM Data"; then
    # Beside the script rather than over it, for the screenshot.
    xdotool search --onlyvisible --name "^Convert SRTM Data" windowmove 560 330 >/dev/null 2>&1 || true
    sleep 6   # a new window under Wine paints late
  else
    status=1
  fi
else
  status=1
fi
# On the virtual display a window that Wine maps later shows black in a
# capture of the whole screen, but not in a capture of the window itself:
# the tool window is pasted in where it stands.
xwd -root -silent | xwdtopnm 2>/dev/null >"$shot.pnm"
tool="$(xdotool search --onlyvisible --name "^Convert SRTM Data" 2>/dev/null | sed -n 1p || true)"
if [ -n "$tool" ]; then
  eval "$(xdotool getwindowgeometry --shell "$tool")"
  xwd -id "$tool" -silent | xwdtopnm 2>/dev/null >"$shot.tool.pnm"
  pnmpaste "$shot.tool.pnm" "$X" "$Y" "$shot.pnm" >"$shot.all.pnm" && mv "$shot.all.pnm" "$shot.pnm"
fi
# Only the main window (there is no desktop around it).
main="$(xdotool search --onlyvisible --name "^Mapquill" 2>/dev/null | sed -n 1p || true)"
if [ -n "$main" ]; then
  eval "$(xdotool getwindowgeometry --shell "$main")"
  pnmcut -left "$X" -top "$Y" -width "$WIDTH" -height "$HEIGHT" "$shot.pnm" >"$shot.main.pnm" &&
    mv "$shot.main.pnm" "$shot.pnm"
fi
pnmtopng "$shot.pnm" >"$shot"
rm -f "$shot.pnm" "$shot.tool.pnm" "$shot.main.pnm"
# The settings are in the registry: the file just opened is the first of
# the recent files, as Windows writes it, and the first start wrote the
# editor's font.
settings="$(wine reg query 'HKCU\Software\Mapquill\Mapquill' /s 2>/dev/null | tr -d '\r')"
for entry in "Files|1_1    REG_SZ    $(winepath -w "$script")" "Text|Font_Name    REG_SZ    Arial" \
             "Text|Font_Size    REG_SZ    9" "Text|Font_Color    REG_SZ    0"; do
  section="${entry%%|*}" value="${entry#*|}"
  # (Through the environment: awk -v would read "\t" in a path as a tab.)
  if ! key="\\Mapquill\\$section" line="    $value" awk '
         /^HKEY/ { here = index($0 "|", ENVIRON["key"] "|") > 0 }
         here && $0 == ENVIRON["line"] { found = 1 }
         END { exit !found }' <<<"$settings"; then
    echo "windows-smoke: the registry has no \"$value\" under Mapquill\\$section:" >&2
    echo "$settings" >&2
    status=1
  fi
done
kill "$program" 2>/dev/null || true
wineserver -k >/dev/null 2>&1 || true
exit "$status"

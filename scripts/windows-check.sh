#!/usr/bin/env bash
# The Windows check: cross-builds the whole program (windows, tools and every
# test) for 64-bit Windows with mingw-w64 against the Windows Qt, then under
# Wine runs every test, compares a set of mapquill-tools commands' stdout,
# stderr and exit status with the Linux build's (stdout and stderr may end
# lines with CR LF), builds the zip and runs it from an empty folder.
#   scripts/windows-check.sh          (builds in build-windows-check/)
# The Windows build and where its Qt comes from: scripts/windows-build.sh.
# Wine runs in a private, temporary WINEPREFIX that is removed afterwards.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
start=$SECONDS
stage_start=$SECONDS
stage() {   # stage NAME: prints how long the stage that ends here took
  echo "windows-check: $1 took $((SECONDS - stage_start)) s"
  stage_start=$SECONDS
}

out=build-windows-check
scripts/windows-build.sh
qt="$(sed -n 's/^CMAKE_PREFIX_PATH:[A-Z]*=//p' "$out/windows/CMakeCache.txt")"
stage "the Windows build"
# Linux needs only the tool to compare with (its tests run in the normal
# suite): no optimisation, it compiles fastest so.
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S . -B "$out/linux" -G Ninja -DMAPQUILL_BUILD_GUI=OFF -DCMAKE_BUILD_TYPE= "${launcher[@]}" >/dev/null
cmake --build "$out/linux" -j"${WINDOWS_CHECK_JOBS:-$(nproc)}" --target mapquill-tools
stage "the Linux tools"

export WINEPREFIX WINEDEBUG=-all LC_ALL=C.UTF-8
WINEPREFIX="$(mktemp -d)"
work="$(mktemp -d)"
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  rm -rf "$WINEPREFIX" "$work"
}
trap cleanup EXIT
wineboot -i >/dev/null 2>&1
# The programs find the Qt DLLs and mingw's C++ runtime on WINEPATH (the zip
# has them beside the executables instead); the offscreen platform measures
# text with the DejaVu fonts.
winpaths=()
for dir in "$qt/bin" "$(dirname "$(x86_64-w64-mingw32-g++-posix -print-file-name=libstdc++-6.dll)")" \
           "$(dirname "$(x86_64-w64-mingw32-g++-posix -print-file-name=libwinpthread-1.dll)")"; do
  winpaths+=("$(winepath -w "$dir")")
done
WINEPATH="$(IFS=';'; echo "${winpaths[*]}")"
QT_QPA_FONTDIR="$(winepath -w /usr/share/fonts/truetype/dejavu)"
export WINEPATH QT_QPA_FONTDIR
wine_temp="$(winepath -u "$(wine cmd /c echo %TEMP% | tr -d '\r')")"
stage "starting Wine"

failures=0
fail() {
  echo "windows-check: FAIL: $*" >&2
  failures=$((failures + 1))
}

# 1. Every test, built for Windows. The Qt Test suites run offscreen (given
# as an argument: under Wine the environment's QT_QPA_PLATFORM is not read)
# and write their report to a file (under Wine it does not reach a pipe).
code=0
timeout 600 wine "$out/windows/tests/mapquill-tests.exe" >"$work/tests.txt" 2>&1 || code=$?
if [ "$code" != 0 ] && [ ! -s "$work/tests.txt" ]; then
  # Once in a CI run Wine ended the program before it wrote a line (exit
  # $code, no report); a real failure always reports. Run it once more.
  echo "windows-check: mapquill-tests ended with $code before writing anything; running it again" >&2
  code=0
  timeout 600 wine "$out/windows/tests/mapquill-tests.exe" >"$work/tests.txt" 2>&1 || code=$?
fi
if [ "$code" != 0 ]; then
  cat "$work/tests.txt" >&2
  fail "mapquill-tests under Wine (exit $code)"
else
  tail -n 2 "$work/tests.txt"
fi
# Cases that cannot pass under Wine for a reason that is Wine's, or that
# need a program there is no Windows copy of here ("suite::case: reason"). A
# skip or failure not named here fails the check.
not_under_wine=(
  "test_srtm_gmt::tile_to_masked_grid: GMT is not installed (no Windows GMT under Wine)"
  "test_proj_agreement::initTestCase: cs2cs (PROJ) is not installed (no Windows PROJ under Wine)"
  "test_colour_table::gmt_reads_the_table: gmt is not installed (no Windows GMT under Wine)"
  "test_map_dock::convertsWithGmt: GMT is not installed (no Windows GMT under Wine)"
  "test_gmt_help::readsTheInstalledGmt: GMT is not installed (no Windows GMT under Wine)"
  "test_gmt6_gmt::initTestCase: GMT is not installed (no Windows GMT under Wine)"
  "test_script_run::gmtMessagesGoToTheirLines: GMT is not installed (no Windows GMT under Wine)"
  "test_script_run::typicalScriptDrawsItsMap: GMT is not installed (no Windows GMT under Wine)"
  "test_script_run::longOutputKeepsItsLastLines: bash is not installed (no Windows bash under Wine)"
  "test_cli_files::kml_is_xml: ogrinfo (GDAL) is not installed (no Windows GDAL under Wine; the XML checks before it run)"
)
known() {   # known SUITE::CASE: true when it is named above
  local entry
  for entry in "${not_under_wine[@]}"; do [ "${entry%%: *}" = "$1" ] && return 0; done
  return 1
}
suites=0
while IFS= read -r exe; do
  name="$(basename "$exe" .exe)"
  report="$work/$name.txt"
  platform=()   # only suites with windows take the option
  imports="$(x86_64-w64-mingw32-objdump -p "$exe")"
  grep -q 'DLL Name: Qt6Gui.dll' <<<"$imports" && platform=(-platform offscreen)
  code=0
  (cd "$work" && timeout 900 wine "$root/$exe" "${platform[@]}" -o "$(winepath -w "$report"),txt") \
    >"$work/$name.out" 2>&1 || code=$?
  suites=$((suites + 1))
  if [ ! -s "$report" ]; then
    cat "$work/$name.out" >&2
    fail "$name under Wine: no report (exit $code)"
    continue
  fi
  sed -i 's/\r$//' "$report"
  unexpected=0
  while IFS= read -r line; do
    case_name="$(sed -E 's/^[A-Z!]+ +: +[A-Za-z_0-9]+::([A-Za-z_0-9]+).*/\1/' <<<"$line")"
    if known "$name::$case_name"; then
      echo "windows-check: $name::$case_name not under Wine: $(sed -E 's/^[A-Z!]+ +: +//' <<<"$line")"
    else
      unexpected=$((unexpected + 1))
    fi
  done < <(grep -E '^(FAIL!|SKIP) ' "$report" || true)
  if [ "$unexpected" -ne 0 ]; then
    grep -E -A3 '^(FAIL!|SKIP) ' "$report" >&2 || true
    fail "$name under Wine: $unexpected case(s) failed or skipped"
  fi
  echo "windows-check: $name: $(grep '^Totals:' "$report")"
done < <(find "$out/windows/tests" -name 'test_*.exe' | sort)
[ "$suites" -gt 0 ] || fail "no Qt Test suite was built"
# The tests leave nothing in the temporary folder.
left="$(find "$wine_temp" -mindepth 1 -maxdepth 1 2>/dev/null | sed -n 1,5p)"
[ -z "$left" ] || fail "the tests left files in Wine's temporary folder: $left"
stage "the tests under Wine"

# 2. The same command on both platforms gives the same bytes and exit status.
linux_tools="$out/linux/src/cli/mapquill-tools"
windows_tools="$out/windows/src/cli/mapquill-tools.exe"
compare() {   # compare ARGS...
  local l="$work/linux" w="$work/windows" code_l=0 code_w=0
  "$linux_tools" "$@" >"$l.out" 2>"$l.err" || code_l=$?
  (cd "$work" && wine "$root/$windows_tools" "$@") >"$w.out" 2>"$w.err" || code_w=$?
  for stream in out err; do
    sed -i 's/\r$//' "$w.$stream"
    if ! cmp -s "$l.$stream" "$w.$stream"; then
      fail "mapquill-tools $* : std$stream differs"
      diff "$l.$stream" "$w.$stream" >&2 || true
    fi
  done
  [ "$code_l" = "$code_w" ] || fail "mapquill-tools $* : exit $code_l on Linux, $code_w under Wine"
}

# Every subcommand's --help is compared, the subcommands taken from the
# overview of mapquill-tools --help. The lines here add a few results, a value
# that fails (exit 1) and a usage error (exit 2) for the subcommands that
# print a result.
commands=(
  "--help"
  "help latlon"
  "nosuchtool"
  "latlon 45.5125"
  "latlon 10:30:45 --conversion 4"
  "latlon -10:30.5"
  "latlon -0.5e3"
  "latlon 10,5"
  "latlon 1e3000000000"
  "latlon Zürich"
  "latlon 45 --conversion 6"
  "gridstep --min 10 --max 12 --amount 4"
  "gridstep --min -10:30 --max=-9:30 --size 0:1"
  "gridstep --min 0 --max 1e3000000000 --amount 4"
  "gridstep --min 0 --max 1 --amount 4.5"
  "gridstep --min 0 --max 1 --size 1e-308"
  "gridstep --min 0 --max 1"
  "utm --lon 9 --lat 50"
  "utm --lon -10:30 --lat -33:54:00"
  "utm --lon x --lat 1"
  "utm-inverse --zone 32 --hemisphere N 535833.459 5538750.478"
  "utm-inverse --zone 32 --hemisphere S 500000 4461369.297"
  "utm-inverse --zone 6000 --hemisphere N 500000 0"
  "gridsize --lat-min 54 --lat-max 54.1 --lon-min 10 --lon-max 10.1 --spacing 1"
  "gridsize --lat-min -10 --lat-max 10 --lon-min -10:30 --lon-max -9:30 --spacing 100"
  "gridsize --lat-min 54 --lat-max 54.1 --lon-min 10 --lon-max 10.1 --spacing 0"
)
while IFS= read -r sub; do
  commands+=("$sub --help")
done < <("$linux_tools" --help | sed -n '/^Tools:/,/^$/p' | awk 'NF > 1 {print $1}')
for command in "${commands[@]}"; do
  read -r -a args <<<"$command"
  compare "${args[@]}"
done

# 3. Input paths outside ASCII. Each file subcommand adds one line: the
# arguments, with IN standing for an input file (named with "ü", Greek and a
# blank) that holds the text of SAMPLE; its output (stdout or a file it
# names with OUT) must be the same on both platforms. For example:
#   "replace IN OUT --replace 5 X"
path_commands=(
  "utm-file --zone 32 --hemisphere N IN OUT"
  "swiss IN OUT --delimiter Space"
  "swiss IN OUT --delimiter Space --to-swiss"
  "replace IN OUT --replace 5 X --append ;"
  "replace IN OUT --no-every --take-if 54"
  "footprint IN OUT --lat-min 54 --lat-max 55 --lon-min 9 --lon-max 10 --spacing 0.5"
  "bin2ascii IN OUT"
  "track OUT --x1 -10:30 --x2 11 --y1 54 --y2 54,5 --samples 4"
  "gmt6-check IN"
)
sample=$'9.5 54.2 12.5\r\n9.75 54.25 -30\r\n'
for command in "${path_commands[@]}"; do
  read -r -a pattern <<<"$command"
  for platform in linux windows; do
    dir="$work/paths-$platform/Zürich Αθήνα"
    mkdir -p "$dir"
    printf '%s' "$sample" >"$dir/Daten ü.txt"
  done
  args=()
  for a in "${pattern[@]}"; do
    case "$a" in
      IN) args+=("Zürich Αθήνα/Daten ü.txt") ;;
      OUT) args+=("Zürich Αθήνα/Ergebnis ü.txt") ;;
      *) args+=("$a") ;;
    esac
  done
  code_l=0 code_w=0
  (cd "$work/paths-linux" && "$root/$linux_tools" "${args[@]}") >"$work/pl.out" 2>&1 || code_l=$?
  (cd "$work/paths-windows" && wine "$root/$windows_tools" "${args[@]}") >"$work/pw.out" 2>&1 || code_w=$?
  sed -i 's/\r$//' "$work/pw.out"
  [ "$code_l" = 0 ] && [ "$code_w" = 0 ] || fail "$command: exit $code_l on Linux, $code_w under Wine"
  cmp -s "$work/pl.out" "$work/pw.out" || fail "$command: output differs"
  if [ -e "$work/paths-linux/Zürich Αθήνα/Ergebnis ü.txt" ]; then
    cmp -s "$work/paths-linux/Zürich Αθήνα/Ergebnis ü.txt" "$work/paths-windows/Zürich Αθήνα/Ergebnis ü.txt" ||
      fail "$command: output files differ"
  fi
  rm -rf "$work/paths-linux" "$work/paths-windows"
done

# 4. Every tracked path can be checked out on Windows.
scripts/check-path-names.sh || fail "tracked path names"
stage "the command comparisons"

# 5. The zip, unpacked into an empty folder, runs there with nothing but
# Wine (no WINEPATH): mapquill-tools --help, and the program's smoke run on
# a virtual display, whose screenshot stays in build-windows-check/.
scripts/package-windows.sh
version="$(sed -n 's/^CMAKE_PROJECT_VERSION:[A-Z]*=//p' "$out/windows/CMakeCache.txt")"
mkdir "$work/unpacked"
unzip -q "$out/Mapquill-$version-win64.zip" -d "$work/unpacked"
app="$work/unpacked/Mapquill-$version-win64"
code=0
(cd "$work" && env -u WINEPATH wine "$app/mapquill-tools.exe" --help) >"$work/help.txt" 2>&1 || code=$?
sed -i 's/\r$//' "$work/help.txt"
"$linux_tools" --help >"$work/help-linux.txt"
[ "$code" = 0 ] && cmp -s "$work/help.txt" "$work/help-linux.txt" ||
  { cat "$work/help.txt" >&2; fail "mapquill-tools --help from the zip (exit $code)"; }
mkdir -p "$work/Karten 2026"
printf 'echo off\r\nrem A map of the Alps\r\n%s\r\n' 'pscoast -R5/17/44/49 -JM15c -W -P > alps.ps' \
  >"$work/Karten 2026/alpen.bat"
env -u WINEPATH -u QT_QPA_FONTDIR xvfb-run -a -s "-screen 0 1280x860x24" \
  scripts/windows-smoke.sh "$app" "$work/Karten 2026/alpen.bat" "$out/screenshot-windows.png" ||
  fail "the smoke run of the zip's mapquill.exe"
stage "the zip and its smoke run"

echo "windows-check: $suites Qt Test suites, ${#commands[@]} commands compared," \
  "${#path_commands[@]} path commands, $((SECONDS - start)) s in all"
if [ "$failures" -ne 0 ]; then
  echo "windows-check: $failures failure(s)" >&2
  exit 1
fi
echo "windows-check: passed"

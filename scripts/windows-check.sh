#!/usr/bin/env bash
# The Windows check: cross-builds everything that needs no Qt for 64-bit
# Windows with mingw-w64 (static), then under Wine runs the plain tests and a
# set of mapquill-tools commands and compares their stdout, stderr and exit
# status with the Linux build's (stdout and stderr may end lines with CR LF).
#   scripts/windows-check.sh          (builds in build-windows-check/)
# Wine runs in a private, temporary WINEPREFIX that is removed afterwards.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$root"
MAPQUILL_WINDOWS_CHECK=1 scripts/setup.sh
start=$SECONDS
jobs="${WINDOWS_CHECK_JOBS:-$(nproc)}"
out=build-windows-check
mkdir -p "$out/include"

# CLI11 and doctest are header-only; the cross compiler sees them through a
# folder that holds only them, never the rest of the Linux /usr/include.
ln -sfn /usr/include/CLI "$out/include/CLI"
ln -sfn /usr/include/doctest "$out/include/doctest"

launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
# No optimisation: this build checks behaviour, and compiles fastest so.
common=(-G Ninja -DMAPQUILL_BUILD_GUI=OFF -DCMAKE_BUILD_TYPE= "${launcher[@]}")
cmake -S . -B "$out/linux" "${common[@]}" >/dev/null
cmake -S . -B "$out/windows" "${common[@]}" \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" \
  -DMQ_CLI11_INCLUDE_DIR="$root/$out/include" -DMQ_DOCTEST_INCLUDE_DIR="$root/$out/include" >/dev/null
# Linux needs only the tool to compare with (its tests run in the normal suite).
cmake --build "$out/linux" -j"$jobs" --target mapquill-tools
cmake --build "$out/windows" -j"$jobs" --target mapquill-tools mapquill-tests
echo "windows-check: built in $((SECONDS - start)) s"

export WINEPREFIX WINEDEBUG=-all LC_ALL=C.UTF-8
WINEPREFIX="$(mktemp -d)"
work="$(mktemp -d)"
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  rm -rf "$WINEPREFIX" "$work"
}
trap cleanup EXIT
wineboot -i >/dev/null 2>&1

failures=0
fail() {
  echo "windows-check: FAIL: $*" >&2
  failures=$((failures + 1))
}

# 1. The plain tests, built for Windows.
if ! wine "$out/windows/tests/mapquill-tests.exe" >"$work/tests.txt" 2>&1; then
  cat "$work/tests.txt" >&2
  fail "mapquill-tests under Wine"
else
  tail -n 2 "$work/tests.txt"
fi

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

# Every subcommand has lines here: its --help, a few results, a value that
# fails (exit 1) and a usage error (exit 2). A new subcommand adds its own.
commands=(
  "--help"
  "help latlon"
  "nosuchtool"
  "latlon --help"
  "latlon 45.5125"
  "latlon 10:30:45 --conversion 4"
  "latlon -10:30.5"
  "latlon -0.5e3"
  "latlon 10,5"
  "latlon 1e3000000000"
  "latlon Zürich"
  "latlon 45 --conversion 6"
  "gridstep --help"
  "gridstep --min 10 --max 12 --amount 4"
  "gridstep --min -10:30 --max=-9:30 --size 0:1"
  "gridstep --min 0 --max 1e3000000000 --amount 4"
  "gridstep --min 0 --max 1 --amount 4.5"
  "gridstep --min 0 --max 1 --size 1e-308"
  "gridstep --min 0 --max 1"
  "utm --help"
  "utm --lon 9 --lat 50"
  "utm --lon -10:30 --lat -33:54:00"
  "utm --lon x --lat 1"
  "utm-inverse --zone 32 --hemisphere N 535833.459 5538750.478"
  "utm-inverse --zone 32 --hemisphere S 500000 4461369.297"
  "utm-inverse --zone 6000 --hemisphere N 500000 0"
  "utm-file --help"
  "footprint --help"
  "gridsize --lat-min 54 --lat-max 54.1 --lon-min 10 --lon-max 10.1 --spacing 1"
  "gridsize --lat-min -10 --lat-max 10 --lon-min -10:30 --lon-max -9:30 --spacing 100"
  "gridsize --lat-min 54 --lat-max 54.1 --lon-min 10 --lon-max 10.1 --spacing 0"
  "swiss --help"
  "replace --help"
  "srtm --help"
  "bin2ascii --help"
  "track --help"
  "run-batch --help"
)
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

echo "windows-check: ${#commands[@]} commands compared, ${#path_commands[@]} path commands, $((SECONDS - start)) s in all"
if [ "$failures" -ne 0 ]; then
  echo "windows-check: $failures failure(s)" >&2
  exit 1
fi
echo "windows-check: passed"

# Shared by the editor benchmarks: a benchmark program of the Release build,
# run several times keeping the median of each figure it prints.
#   source "$root/bench/lib/editor.sh"   (with $root the checkout, $runs set)
#   editor_program TARGET                sets $program (built when needed)
#   editor_measure LABEL FIELDS ARGS...  runs $program ARGS $runs times; FIELDS
#                                        are the names of the "name=value" figures
#                                        it prints; prints LABEL with the median
#                                        of each and the median peak memory, and
#                                        sets MEDIAN_<name> for each
build="${BENCH_BUILD:-$root/build-bench}"
export QT_QPA_PLATFORM=offscreen

editor_program() {
  local launcher=()
  if command -v ccache >/dev/null; then launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache); fi
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DMAPQUILL_BENCH=ON "${launcher[@]}" >/dev/null
  cmake --build "$build" --target "$1" -j2 >/dev/null
  program="$build/$1"
}

median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }

editor_measure() {
  local label="$1" fields="$2"
  shift 2
  local outputs=() out field line
  for _ in $(seq "$runs"); do
    outputs+=("$( { /usr/bin/time -f 'peak_kb=%M' "$program" "$@" 2>&1; } | grep -oE '[a-z_]+=[0-9.]+' | tr '\n' ' ')")
  done
  line="$(printf '%-24s' "$label")"
  for field in $fields peak_kb; do
    local value
    value="$(printf '%s\n' "${outputs[@]}" | sed -E "s/.*$field=([0-9.]+).*/\1/" | median)"
    printf -v "MEDIAN_$field" '%s' "$value"
    line+="  $field $value"
  done
  echo "$line"
}

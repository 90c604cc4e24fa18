# Shared by the benchmarks: our Release tool, and running a command several
# times keeping the median wall time and the largest peak memory.
#   source "$root/bench/lib/timing.sh"   (with $root the checkout)
#   $tool                        mapquill-tools of the Release build (built when missing)
#   $floor                       bench_number_floor of the same build: reads and writes
#                                the numbers of a coordinate file without converting them
#   $baseline                    another mapquill-tools to compare with, from BASELINE
#                                (an earlier build), or empty
#   timed NAME RUNS COMMAND...   sets TIME_<NAME> (seconds) and RSS_<NAME> (KiB)
#   show LABEL NAME              prints one result line
#   ratio LABEL SLOW FAST        prints SLOW / FAST
tool="$root/build-release/src/cli/mapquill-tools"
floor="$root/build-release/bench_number_floor"
baseline="${BASELINE:-}"
if [ ! -x "$tool" ] || [ ! -x "$floor" ]; then
  gui=()
  [ -f "$root/build-release/CMakeCache.txt" ] || gui=(-DMAPQUILL_BUILD_GUI=OFF)
  cmake -S "$root" -B "$root/build-release" -G Ninja -DCMAKE_BUILD_TYPE=Release -DMAPQUILL_BENCH=ON \
    "${gui[@]}" >/dev/null
  cmake --build "$root/build-release" --target mapquill-tools bench_number_floor >/dev/null
fi

timed() {
  local name="$1" runs="$2"
  shift 2
  local times=() rss=0 line
  for ((i = 0; i < runs; i++)); do
    line="$(/usr/bin/time -f '%e %M' "$@" 2>&1 >/dev/null | tail -n 1)"
    times+=("${line% *}")
    (( ${line#* } > rss )) && rss=${line#* }
  done
  printf -v "TIME_$name" '%s' "$(printf '%s\n' "${times[@]}" | sort -g | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}')"
  printf -v "RSS_$name" '%s' "$rss"
}
show() {
  local t="TIME_$2" r="RSS_$2"
  printf '  %-42s %7.2f s  %8d KiB peak\n' "$1" "${!t}" "${!r}"
}
ratio() {
  local a="TIME_$2" b="TIME_$3"
  awk -v l="$1" -v a="${!a}" -v b="${!b}" 'BEGIN { if (b > 0) printf "  %-42s %7.1fx\n", l, a / b; else printf "  %-42s (too fast to measure)\n", l }'
}

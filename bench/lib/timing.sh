# Shared by the benchmarks: our Release tool, and running a command several
# times keeping the median wall time and the largest peak memory.
#   source "$root/bench/lib/timing.sh"   (with $root the checkout)
#   $tool                        mapquill-tools of the Release build (built when missing)
#   $floor                       bench_number_floor of the same build: reads and writes
#                                the numbers of a coordinate file without converting them
#   $baseline                    another mapquill-tools to compare with, from BASELINE
#                                (an earlier build), or empty
#   timed NAME RUNS COMMAND...   sets TIME_<NAME> (seconds, wall), CPU_<NAME> (seconds of
#                                CPU, user and system) and RSS_<NAME> (KiB)
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

# measure NAME COMMAND...   runs COMMAND once, adding its wall and CPU time and
#                           peak memory to those of NAME; settle NAME then sets
#                           TIME_<NAME> and CPU_<NAME> (medians) and RSS_<NAME> (the
#                           largest). Benchmarks that compare programs measure them
#                           in turn, run after run, so that a machine's changing load
#                           falls on all of them alike.
measure() {
  local name="$1" line wall user sys rss
  shift
  # What the previous command wrote goes to the disk first: a program that
  # syncs its output (the safe writer does) would otherwise wait for that too.
  sync
  line="$(/usr/bin/time -f '%e %U %S %M' "$@" 2>&1 >/dev/null | tail -n 1)"
  read -r wall user sys rss <<<"$line"
  local walls="WALLS_$name" cpus="CPUS_$name" peak="RSS_$name"
  printf -v "$walls" '%s %s' "${!walls:-}" "$wall"
  printf -v "$cpus" '%s %s' "${!cpus:-}" "$(awk -v u="$user" -v s="$sys" 'BEGIN { print u + s }')"
  (( rss > ${!peak:-0} )) && printf -v "$peak" '%s' "$rss"
  return 0
}
median_of() { tr ' ' '\n' | grep . | sort -g | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
settle() {
  local w="WALLS_$1" c="CPUS_$1"
  printf -v "TIME_$1" '%s' "$(median_of <<<"${!w}")"
  printf -v "CPU_$1" '%s' "$(median_of <<<"${!c}")"
}
timed() {
  local name="$1" runs="$2"
  shift 2
  for ((i = 0; i < runs; i++)); do measure "$name" "$@"; done
  settle "$name"
}
show() {
  local t="TIME_$2" c="CPU_$2" r="RSS_$2"
  printf '  %-42s %7.2f s  %7.2f s CPU  %8d KiB peak\n' "$1" "${!t}" "${!c:-0}" "${!r}"
}
ratio() {
  local a="TIME_$2" b="TIME_$3"
  awk -v l="$1" -v a="${!a}" -v b="${!b}" 'BEGIN { if (b > 0) printf "  %-42s %7.1fx\n", l, a / b; else printf "  %-42s (too fast to measure)\n", l }'
}

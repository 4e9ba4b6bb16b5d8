#!/usr/bin/env bash
# Runs lexgen_bench of this tree and of another revision (default: main) side
# by side and prints, per benchmark, the best speed of each over several
# alternating runs and their ratio. The other revision is built in a
# temporary folder with this tree's benchmark sources, so both run the same
# benchmarks.
#
#   bench/lexgen/compare.sh [-r REV] [-n RUNS] [-f FILTER] [BUILD_DIR]
#
# BUILD_DIR is this tree's build folder (default: build); it must hold a
# built lexgen_bench.
set -euo pipefail
rev=main runs=5 filter=.
while getopts "r:n:f:" opt; do
  case $opt in
    r) rev=$OPTARG ;;
    n) runs=$OPTARG ;;
    f) filter=$OPTARG ;;
    *) exit 2 ;;
  esac
done
shift $((OPTIND - 1))
top=$(git -C "$(dirname "$0")" rev-parse --show-toplevel)
ours=$(realpath "${1:-$top/build}")/bench/lexgen/lexgen_bench
[ -x "$ours" ] || { echo "no $ours: build the lexgen_bench target first" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
git -C "$top" archive "$rev" | tar -x -C "$work"
rm -rf "$work/bench/lexgen"
cp -r "$top/bench/lexgen" "$work/bench/lexgen"
# Built as this tree's build folder is, so that like is compared with like.
cache=$(dirname "$(dirname "$(dirname "$ours")")")/CMakeCache.txt
setting() { sed -n "s/^$1:[A-Z]*=//p" "$cache" 2>/dev/null; }
build_type=$(setting CMAKE_BUILD_TYPE)
sanitize=$(setting SANITIZE)
cmake -S "$work" -B "$work/build" -G Ninja -DCMAKE_BUILD_TYPE="${build_type:-RelWithDebInfo}" \
  -DSANITIZE="${sanitize:-OFF}" -DBUILD_TESTING=OFF >/dev/null
cmake --build "$work/build" --target lexgen_bench >/dev/null
theirs=$work/build/bench/lexgen/lexgen_bench

# Prints "name bytes_per_second" per benchmark of one run.
run() {
  "$1" --benchmark_filter="$filter" --benchmark_min_time=0.5 --benchmark_color=false 2>/dev/null |
    awk '$1 ~ /^BM_/ && match($0, /bytes_per_second=[0-9.]+[kMG]?/) {
      v = substr($0, RSTART + 17, RLENGTH - 17); unit = substr(v, length(v)); scale = 1
      if (unit == "k") scale = 1e3; else if (unit == "M") scale = 1e6; else if (unit == "G") scale = 1e9
      name = $1; sub(/\/min_time:.*/, "", name); print name, v * scale }'
}

for i in $(seq "$runs"); do
  run "$theirs" | sed 's/^/theirs /'
  run "$ours" | sed 's/^/ours /'
done | awk -v rev="$rev" '
  { key = $2; if (!(key in order)) { order[key] = ++n; names[n] = key }
    if ($3 > best[$1, key]) best[$1, key] = $3 }
  END {
    printf "%-36s %12s %12s %7s\n", "best of runs, MB/s", rev, "this tree", "ratio"
    for (i = 1; i <= n; ++i) {
      k = names[i]; a = best["theirs", k] / 1e6; b = best["ours", k] / 1e6
      printf "%-36s %12.1f %12.1f %7.2f\n", k, a, b, (a > 0 ? b / a : 0)
    }
  }'

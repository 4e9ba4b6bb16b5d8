#!/usr/bin/env bash
# Runs veskan over real source trees that nobody here wrote and reports, per
# tree, the exit status, the time, the bytes scanned and MB/s. Each summary
# is then read back with -a in a second run, which must succeed too.
#
#   bench/veskan/real_trees.sh [path/to/veskan]
#
# Exits 1 when any run fails (non-zero status or output on standard error,
# where sanitizer reports go).
set -u
veskan=$(realpath "${1:-build/veskan/veskan}")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0

# run NAME MODE ARGS...: MODE "dir" passes -p DIR, "files" passes the files.
run() {
  local name=$1; shift
  local api=$work/$name.api
  local bytes
  if [ "$1" = dir ]; then
    local dir=$2
    bytes=$(find "$dir" -maxdepth 1 -type f \( -name '*.h' -o -name '*.hpp' -o -name '*.c' \
            -o -name '*.cpp' \) -printf '%s\n' | awk '{s+=$1} END {print s+0}')
    set -- -p "$dir"
  else
    shift
    bytes=$(stat -c %s "$@" | awk '{s+=$1} END {print s+0}')
  fi
  local start end status status2
  start=$(date +%s.%N)
  "$veskan" -o "$api" "$@" >/dev/null 2>"$work/err"
  status=$?
  end=$(date +%s.%N)
  "$veskan" -a "$api" -o "$api.again" "$@" >/dev/null 2>>"$work/err"
  status2=$?
  local verdict=ok
  if [ $status -ne 0 ] || [ $status2 -ne 0 ] || [ -s "$work/err" ] || [ ! -s "$api" ]; then
    verdict=FAILED
    failed=1
    sed 's/^/    /' "$work/err" | head -20
  fi
  awk -v n="$name" -v b="$bytes" -v s="$start" -v e="$end" -v st="$status/$status2" \
      -v l="$(cat "$api" 2>/dev/null | wc -l)" -v v="$verdict" 'BEGIN {
    t = e - s; printf "%-28s %6s %8.3f s %9.2f MB %8.1f MB/s %8d lines  %s\n",
      n, st, t, b / 1e6, (t > 0 ? b / 1e6 / t : 0), l, v }'
}

printf "%-28s %6s %10s %12s %13s %14s\n" tree status time size speed summary
run usr-include dir /usr/include
run c++-12-bits dir /usr/include/c++/12/bits
mapfile -t gtest < <(find /usr/include/gtest -name '*.h' | sort)
run gtest files "${gtest[@]}"
mapfile -t gmock < <(find /usr/include/gmock -name '*.h' | sort)
run gmock files "${gmock[@]}"
run llvm-adt dir /usr/include/llvm-14/llvm/ADT
run llvm-support dir /usr/include/llvm-14/llvm/Support
mapfile -t all < <(find /usr/include -name '*.h' -type f | sort)
run all-usr-include-h files "${all[@]}"

# Side by side with universal-ctags (when installed) over the same files in
# one run each, the two taking turns so that both see the same load: best of
# COMPARE_RUNS (default 5) each, and the ratio of the two.
seconds() {
  local start end
  start=$(date +%s.%N)
  "$@" >/dev/null 2>&1
  end=$(date +%s.%N)
  awk -v s="$start" -v e="$end" 'BEGIN { printf "%.3f", e - s }'
}
smaller() { awk -v a="$1" -v b="$2" 'BEGIN { print (b == "" || a < b) ? a : b }'; }
if ctags --version 2>/dev/null | grep -q 'Universal Ctags'; then
  printf '%s\n' "${all[@]}" >"$work/all.files"
  runs=${COMPARE_RUNS:-5}
  ours="" theirs=""
  for _ in $(seq "$runs"); do
    ours=$(smaller "$(seconds "$veskan" -o "$work/all.api" "${all[@]}")" "$ours")
    theirs=$(smaller "$(seconds ctags -L "$work/all.files" --languages=C,C++ --langmap=C++:+.h \
               --c++-kinds=+p --fields=+aiKS -f "$work/all.tags")" "$theirs")
  done
  awk -v n=${#all[@]} -v r="$runs" -v a="$ours" -v b="$theirs" 'BEGIN {
    printf "all .h of /usr/include (%d files), best of %d: veskan %.3f s, ctags %.3f s, ratio %.2f\n",
      n, r, a, b, (b > 0 ? a / b : 0) }'
else
  echo "universal-ctags not installed: no comparison"
fi
exit $failed

#!/usr/bin/env bash
# Times tarnel's reader over a description whose code section holds N lines
# "/* x" (comments that never close), and over 4N of them, and prints both
# times (best of three) and their ratio. A block comment that does not close
# makes every scan from a "/*" look to the end of the input; a scanner that
# does not note where it failed reads the rest of the input again at each
# line, so the 4N time grows sixteenfold. Linear: about fourfold.
#
#   bench/lexgen/unclosed_comments.sh [path/to/tarnel] [N]
set -euo pipefail
tarnel=$(realpath "${1:-build/tarnel/reader/tarnel}")
lines=${2:-10000}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# best_time FILE: the best of three runs of tarnel -d1 over FILE, in seconds.
best_time() {
  local best=
  for _ in 1 2 3; do
    local start end
    start=$(date +%s.%N)
    "$tarnel" -d1 "$1" >/dev/null || exit 1
    end=$(date +%s.%N)
    best=$(awk -v s="$start" -v e="$end" -v b="$best" 'BEGIN { t = e - s; print (b == "" || t < b) ? t : b }')
  done
  echo "$best"
}

for n in "$lines" $((4 * lines)); do
  printf '%%%%\n%%%%\n%%%%\n' >"$work/$n.tn"
  awk -v n="$n" 'BEGIN { for (i = 0; i < n; ++i) print "/* x" }' >>"$work/$n.tn"
done
one=$(best_time "$work/$lines.tn") || exit 1
four=$(best_time "$work/$((4 * lines)).tn") || exit 1
awk -v n="$lines" -v a="$one" -v b="$four" 'BEGIN {
  printf "unclosed comments, tarnel -d1: %d lines %.3f s, %d lines %.3f s, 4x/1x %.1f\n", n, a, 4 * n, b, b / a }'

#!/usr/bin/env bash
# Runs lexgen_hard_inputs for every case at 1x and 4x the input, each in a
# process of its own, and prints the best time of three and the peak memory
# of each, and the ratios 4x/1x. Bounded: time about fourfold, memory about
# the same.
#
#   bench/lexgen/hard_inputs.sh [path/to/lexgen_hard_inputs]
set -euo pipefail
bin=$(realpath "${1:-build/bench/lexgen/lexgen_hard_inputs}")
printf '%-20s %9s %8s %9s %8s %6s %6s\n' case "1x s" "1x MB" "4x s" "4x MB" time mem
for name in 'a{1000}' 'a{100}' '[a-z]{1,300}!' 'generated a{1000}'; do
  read -r t1 m1 _ < <("$bin" "$name" 1)
  read -r t4 m4 _ < <("$bin" "$name" 4)
  awk -v n="$name" -v t1="$t1" -v m1="$m1" -v t4="$t4" -v m4="$m4" 'BEGIN {
    printf "%-20s %9.4f %8.1f %9.4f %8.1f %6.1f %6.1f\n", n, t1, m1, t4, m4, t4 / t1, m4 / m1 }'
done

#!/usr/bin/env bash
# Runs tarnel on descriptions built to hit the paths that used to take time
# quadratic in the size of the input, each at a base size (1x) and at four
# times that size (4x), side by side in one run. Prints the best time of
# several runs for each size and the ratio 4x/1x: about 4 means linear, 16
# quadratic.
#
#   bench/tarnel/slow_paths.sh [path/to/tarnel] [runs]
#
# Every run writes its files into a scratch folder. Exits 1 when a run fails
# (non-zero status or output on standard error).
set -u
tarnel=$(realpath "${1:-build/tarnel/reader/tarnel}")
runs=${2:-3}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Each generator writes the description of size N to standard output.

# N rule names whose output names all collide: "a", then nine times one of
# "-", "." or "_" and a "b" (3^9 names to choose from).
same_names() {
  awk -v n="$1" 'BEGIN {
    print "%%\n%%"
    split("- . _", sep, " ")
    for (i = 0; i < n; i++) {
      name = "a"; v = i
      for (j = 0; j < 9; j++) { name = name sep[v % 3 + 1] "b"; v = int(v / 3) }
      print name " = '\''x'\'' ;"
    }
  }'
}

# A value term whose string argument holds N times "$['x", none closed.
open_brackets() {
  awk -v n="$1" 'BEGIN {
    printf "%%type <H> a\n%%%%\n%%%%\na = '\''x'\'' <h(\""
    for (i = 0; i < n; i++) printf "$['\''x"
    print "\")> ;"
  }'
}

# N groups nested around two elements, the value of the outermost used.
nested_groups() {
  awk -v n="$1" 'BEGIN {
    printf "%%type <int> ?v?\n%%type <F> a\n%%%%\n%%%%\na = "
    for (i = 0; i < n; i++) printf "("
    printf " '\''a'\'' ?v? "
    for (i = 0; i < n; i++) printf ")"
    print " <f($1)> ;"
  }'
}

# One alternative of N typed terminals, all of them arguments of one node;
# the type is the second argument (int when not given).
many_elements() {
  awk -v n="$1" -v t="${2:-int}" 'BEGIN {
    print "%type <" t "> ?v?\n%type <N> a\n%%\n%%"
    printf "a ="
    for (i = 1; i <= n; i++) printf " ?v?"
    printf " <n("
    for (i = 1; i <= n; i++) printf "%s$%d", (i > 1 ? "," : ""), i
    print ")> ;"
  }'
}

# The same with text elements, whose values the grammar file frees unless
# the term takes them over.
many_texts() { many_elements "$1" string; }

# N alternatives of one rule that all build the same node kind.
same_node() {
  awk -v n="$1" 'BEGIN {
    print "%type <L> r\n%%\n%%"
    printf "r = '\''k0'\'' <l(1)>"
    for (i = 1; i < n; i++) printf "\n  | '\''k%d'\'' <l(1)>", i
    print " ;"
  }'
}

# best_time FILE LEVEL: the best of $runs runs, in seconds.
best_time() {
  local best="" t s e status
  for ((r = 0; r < runs; r++)); do
    rm -rf "$work/out"; mkdir "$work/out"
    s=$(date +%s.%N)
    "$tarnel" "-d$2" "-o$work/out/" "$1" >/dev/null 2>"$work/err"
    status=$?
    e=$(date +%s.%N)
    if [ $status -ne 0 ] || [ -s "$work/err" ]; then
      echo "FAILED ($status): $(head -c 300 "$work/err")" >&2
      : >"$work/failed"  # best_time runs in a subshell
    fi
    t=$(awk -v s="$s" -v e="$e" 'BEGIN { printf "%.4f", e - s }')
    if [ -z "$best" ] || awk -v a="$t" -v b="$best" 'BEGIN { exit !(a < b) }'; then best=$t; fi
  done
  echo "$best"
}

# row NAME LEVEL GENERATOR N1 N4
row() {
  local name=$1 level=$2 gen=$3
  "$gen" "$4" >"$work/1x.tn"
  "$gen" "$5" >"$work/4x.tn"
  local t1 t4
  t1=$(best_time "$work/1x.tn" "$level")
  t4=$(best_time "$work/4x.tn" "$level")
  awk -v n="$name" -v l="$level" -v a="$t1" -v b="$t4" -v s1="$4" -v s4="$5" 'BEGIN {
    printf "%-16s -d%s %8s %8.3f s %8s %8.3f s %6.1fx\n", n, l, s1, a, s4, b, (a > 0 ? b / a : 0) }'
}

printf "%-16s %3s %8s %10s %8s %10s %7s\n" input lvl 1x time 4x time ratio
row same-names 0 same_names 2000 8000
row open-brackets 0 open_brackets 20000 80000
row nested-groups 0 nested_groups 1000 4000
row many-elements 0 many_elements 16000 64000
row many-texts 0 many_texts 16000 64000
row same-node 5 same_node 2000 8000
[ ! -e "$work/failed" ]

#!/usr/bin/env bash
# Counts, per real header tree, the classes that veskan records with at
# least one member, and beside them the class, struct and union scopes that
# universal-ctags finds in the same files (named scopes only: veskan cannot
# record unnamed ones). Trees that are not installed are skipped, and the
# ctags column reads "-" when ctags is not installed.
#
#   bench/veskan/class_counts.sh [path/to/veskan]
#
# Exits 1 when a veskan run fails.
set -u
veskan=$(realpath "${1:-build/veskan/veskan}")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
have_ctags=0
ctags --version 2>/dev/null | grep -q 'Universal Ctags' && have_ctags=1
failed=0

# Class names of a summary's member lines: the name is written with ":"
# between its parts, followed by the two-character member mark.
veskan_classes() {
  grep -P '^\t' "$1" | perl -ne 'print "$1\n" if /^\t(\w+(?::\w+)*)[:\$=][:%]/' | sort -u | wc -l
}

ctags_scopes() {
  grep -v '^!' "$1" | grep -oP '\t(class|struct|union):[^\t]*' | grep -v '__anon' | sort -u | wc -l
}

# count NAME DIR PATTERN: the .h files of DIR (with subfolders when PATTERN
# is "deep") in one veskan run and one ctags run.
count() {
  local name=$1 dir=$2 depth=()
  [ "$3" = deep ] || depth=(-maxdepth 1)
  if [ ! -d "$dir" ]; then
    printf "%-10s %6s %8s %8s  (%s not installed)\n" "$name" - - - "$dir"
    return
  fi
  find "$dir" "${depth[@]}" -name '*.h' -type f | sort >"$work/$name.files"
  local files
  files=$(wc -l <"$work/$name.files")
  local ours=- theirs=- ratio=-
  if xargs -a "$work/$name.files" -d '\n' "$veskan" -o "$work/$name.api" >/dev/null \
       2>"$work/err" && [ ! -s "$work/err" ]; then
    ours=$(veskan_classes "$work/$name.api")
  else
    failed=1
    sed 's/^/    /' "$work/err" | head -20
  fi
  if [ $have_ctags = 1 ]; then
    ctags -L "$work/$name.files" --languages=C,C++ --langmap=C++:+.h --c++-kinds=+p \
          --fields=+aiKS -f "$work/$name.tags" 2>/dev/null
    theirs=$(ctags_scopes "$work/$name.tags")
    [ "$ours" != - ] && [ "$theirs" -gt 0 ] && ratio=$(awk -v a="$ours" -v b="$theirs" \
      'BEGIN { printf "%.2f", a / b }')
  fi
  printf "%-10s %6d %8s %8s %8s\n" "$name" "$files" "$ours" "$theirs" "$ratio"
}

printf "%-10s %6s %8s %8s %8s\n" tree files veskan ctags ratio
count gtest /usr/include/gtest deep
count bits /usr/include/c++/12/bits flat
count llvm-adt /usr/lib/llvm-14/include/llvm/ADT flat
exit $failed

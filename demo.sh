#!/usr/bin/env bash
# Installs what is missing, builds everything, then runs the main job on a
# bundled example: tarnel turns the description of a small calculator
# (examples/calc.tn) into a scanner description, a Bison grammar, a header and
# a driver; lexgen, bison and the C++ compiler build them into a program,
# which then reads and evaluates an expression.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc 2>/dev/null || echo 4)"

out=build/demo
rm -rf "$out"
mkdir -p "$out"

echo
echo "== tarnel -o$out/ examples/calc.tn"
./build/tarnel/reader/tarnel -o"$out/" examples/calc.tn
ls -l "$out"

echo
echo "== $out/calc.grm (the Bison grammar tarnel wrote):"
cat "$out/calc.grm"

echo
echo "== Building the calculator: lexgen, bison, c++"
./build/lexgen/generator/lexgen -o "$out/calc.lex.cpp" "$out/calc.lex"
bison -o "$out/calc.grm.cpp" "$out/calc.grm"
"${CXX:-c++}" -std=c++17 -O1 -I"$out" -Ilexgen/runtime/include \
  "$out/calc.cpp" "$out/calc.grm.cpp" "$out/calc.lex.cpp" \
  build/lexgen/runtime/liblexgen_runtime.a -o "$out/calc"

echo
echo "== $out/calc -d2 examples/calc-input.txt (the syntax tree of: $(cat examples/calc-input.txt))"
"$out/calc" -d2 examples/calc-input.txt
echo
echo
echo "== $out/calc examples/calc-input.txt (the value)"
"$out/calc" examples/calc-input.txt

#!/usr/bin/env bash
# Installs what is missing, builds everything and runs the main job on a
# bundled example.
set -euo pipefail
cd "$(dirname "$0")"
./scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j "$(nproc 2>/dev/null || echo 4)"
echo
echo "== An AST built with the runtime's lists and optional values, printed with ast::astprint:"
./build/examples/runtime_demo
echo
echo "== The syntax tree of a small calculator's description (examples/calc.tn), printed by tarnel -d2:"
./build/tarnel/reader/tarnel -d2 examples/calc.tn
echo

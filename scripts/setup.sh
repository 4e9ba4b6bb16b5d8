#!/usr/bin/env bash
# Installs the tools and libraries the build needs when they are missing.
# Uses apt-get when run as root (or through sudo when it is available);
# otherwise it names what is missing and fails.
set -euo pipefail

missing=()
need_cmd() { command -v "$1" >/dev/null 2>&1 || missing+=("$2"); }
need_file() { [ -e "$1" ] || missing+=("$2"); }

need_cmd cmake cmake
need_cmd ninja ninja-build
need_cmd g++ g++
need_cmd bison bison
need_cmd gcov gcc
need_file /usr/include/gtest/gtest.h libgtest-dev
need_file /usr/include/gmock/gmock.h libgmock-dev
need_file /usr/include/benchmark/benchmark.h libbenchmark-dev

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then
  apt_get=(apt-get)
elif command -v sudo >/dev/null 2>&1; then
  apt_get=(sudo apt-get)
else
  echo "Missing packages: ${missing[*]}; install them (apt-get install ${missing[*]}) and try again." >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
"${apt_get[@]}" install -y "${missing[@]}" || {
  "${apt_get[@]}" update
  "${apt_get[@]}" install -y "${missing[@]}"
}

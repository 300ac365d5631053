#!/usr/bin/env bash
# Configures and builds the tree. Usage: scripts/build.sh [--sanitize]
# The normal build goes to build/ (programs in build/bin/), the sanitizer build to build-asan/.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
dir="$top/build"
extra=()
if [[ "${1:-}" == "--sanitize" ]]; then
  dir="$top/build-asan"
  extra=(-DQV_SANITIZE=ON -DQV_BENCHMARKS=OFF -DCMAKE_BUILD_TYPE=Debug)
fi
cmake -S "$top" -B "$dir" -G Ninja "${extra[@]}" >/dev/null
cmake --build "$dir" -j "$(nproc)"

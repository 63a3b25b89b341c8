#!/usr/bin/env bash
# Configures and builds everything into build/ (or $BUILD_DIR); arguments go
# to the configuration (scripts/bench.sh: -DMORVELL_BENCHMARKS=ON).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build_dir="${BUILD_DIR:-$root/build}"
cmake -S "$root" -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
cmake --build "$build_dir" -j "$(nproc)"

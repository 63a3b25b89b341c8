#!/usr/bin/env bash
# Builds and runs the benchmarks (all, or those named) against a scratch data directory that has
# the log directory in it, so that every log line is really written and the user's own log is
# never touched. Usage: scripts/bench.sh [bench_name ...]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD_DIR:-$root/build}"
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" -DMORVELL_BENCHMARKS=ON >/dev/null
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$scratch/Korvan"
names=("$@")
# Only the programs: the build also leaves bench_*_autogen folders there.
[ ${#names[@]} -gt 0 ] ||
    mapfile -t names < <(find "$build/bench" -maxdepth 1 -type f -perm -u+x -name 'bench_*' \
        -printf '%f\n' | sort)
for name in "${names[@]}"; do
    echo "== $name"
    XDG_DATA_HOME=$scratch QT_QPA_PLATFORM=offscreen "$build/bench/$name"
done

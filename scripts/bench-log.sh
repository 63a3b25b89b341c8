#!/usr/bin/env bash
# Runs the log handler benchmark against a scratch data directory, so that the user's own log
# is never touched. Usage: scripts/bench-log.sh [build directory, default build]
set -euo pipefail
build=${1:-build}
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
XDG_DATA_HOME=$scratch "$build/bench/bench_log_handler"

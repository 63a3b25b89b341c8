#!/usr/bin/env bash
# Runs every test of the build directory given, offscreen. The tests labelled
# spoiledline spend a minute or so each waiting on a line that spoils bytes,
# hardly computing, so they run beside the others instead of taking turns
# with them; their report follows the others'.
set -uo pipefail
cd "$1"
report=$(mktemp)
trap 'rm -f "$report"' EXIT
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -L spoiledline -j 6 >"$report" 2>&1 &
spoiled=$!
status=0
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -LE spoiledline -j "$(nproc)" || status=1
wait "$spoiled" || status=1
printf '\n== Tests on a spoiled line\n'
cat "$report"
exit $status

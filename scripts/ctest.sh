#!/usr/bin/env bash
# Runs every test of the build directory given, offscreen. The tests labelled
# waits (the spoiled line's, the fault soak, the command line's and the
# window's waits for a killed or stopped register) spend their time waiting,
# hardly computing, so they run beside the others instead of taking turns
# with them; their report follows the others'.
set -uo pipefail
cd "$1"
report=$(mktemp)
trap 'rm -f "$report"' EXIT
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -L waits -j 8 >"$report" 2>&1 &
waiting=$!
status=0
QT_QPA_PLATFORM=offscreen ctest --output-on-failure -LE waits -j "$(nproc)" || status=1
wait "$waiting" || status=1
printf '\n== Tests that wait\n'
cat "$report"
exit $status

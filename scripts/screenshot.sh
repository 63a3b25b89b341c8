#!/usr/bin/env bash
# Remakes docs/main-window.png: starts the program under Xvfb, reads the goods database from
# the built-in register and takes a picture of the window. Needs xvfb, xdotool and imagemagick.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD_DIR:-$root/build}"
export DISPLAY=:97
Xvfb "$DISPLAY" -screen 0 1024x768x24 >/dev/null 2>&1 &
xvfb=$!
scratch=$(mktemp -d)
trap 'kill $program $xvfb 2>/dev/null; rm -rf "$scratch"' EXIT
sleep 1
XDG_DATA_HOME=$scratch "$build/src/app/morvell" &
program=$!
window=$(xdotool search --sync --name '^Morvell$' | head -n 1)
xdotool windowsize "$window" 900 560
sleep 0.5
# "Прочитать": the middle button of the upper row at this window size.
xdotool mousemove --window "$window" 701 472 click 1
sleep 1.5
import -window "$window" "$root/docs/main-window.png"

#!/usr/bin/env bash
# Remakes docs/main-window.png: starts the program under Xvfb, reads the goods database from
# the built-in register and takes a picture of the window; then docs/traffic-dock.png: the dock
# "Обмен с ККТ" open during a read from the emulator program on a line that spoils 3 % of the
# bytes, with retried exchanges and the one that failed. Both runs start from settings of their
# own, so that what the user's program remembers does not show. Needs xvfb, xdotool and
# imagemagick.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${BUILD_DIR:-$root/build}"
export DISPLAY=:97
Xvfb "$DISPLAY" -screen 0 1024x768x24 >/dev/null 2>&1 &
xvfb=$!
scratch=$(mktemp -d)
emulator=
trap 'kill $program $emulator $xvfb 2>/dev/null; rm -rf "$scratch"' EXIT
export XDG_DATA_HOME=$scratch XDG_CONFIG_HOME=$scratch/config
sleep 1
"$build/src/app/morvell" &
program=$!
window=$(xdotool search --sync --name '^Morvell$' | head -n 1)
xdotool windowsize "$window" 900 560
sleep 0.5
# "Прочитать": the middle button of the upper row at this window size.
xdotool mousemove --window "$window" 701 472 click 1
sleep 1.5
import -window "$window" "$root/docs/main-window.png"
kill $program
wait $program || true

# The emulator's link, at the path the README's example gives it, is the remembered port, and
# the dock is open from the start.
mkdir -p "$XDG_CONFIG_HOME/Korvan"
printf '[port]\nlocation=/tmp/register\n\n[window]\ntrafficDock=true\n' \
    >"$XDG_CONFIG_HOME/Korvan/Morvell.conf"
"$build/platform/emulator/register-emulator" --link /tmp/register --goods 150 \
    --corrupt 0.03 --seed 5 >/dev/null &
emulator=$!
sleep 0.5
"$build/src/app/morvell" &
program=$!
window=$(xdotool search --sync --name '^Morvell$' | head -n 1)
xdotool windowsize "$window" 1000 700
sleep 0.5
# "Прочитать" at this size, with the dock below the form.
xdotool mousemove --window "$window" 800 360 click 1
# The read ends in the error box; Enter closes it.
box=$(xdotool search --sync --name '^Ошибка$' | head -n 1)
xdotool key --window "$box" Return 2>/dev/null || true
sleep 1
import -window "$window" "$root/docs/traffic-dock.png"

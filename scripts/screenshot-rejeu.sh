#!/usr/bin/env bash
# Screenshot of a replay window, under Xvfb with a window manager, for the
# manual: docs/rejeu.png. A session with the virtual robot is recorded first
# (the destination placed, the hidden block of data/robot/diagonale.scn
# found by the bumper), into a log folder of its own; the console is then
# started for a replay of that log at 5 times real time, and the replay
# window (its map, the recorded telemetry and its controls) is captured
# alone, by its own id, with its frame. Needs xvfb, imagemagick, xdotool and
# openbox; run after `make build`.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
bin=$root/build/release
run=$(mktemp -d)
trap 'rm -rf "$run"' EXIT
sed 's/^periode .*/periode 100/' data/robot/diagonale.scn >"$run/scenario.scn"
printf ';scom.ini\r\n;fichier de configuration des ports s\351ries\r\n\r\n[OPTIONS]\r\nLast Port = 1\r\n\r\n[Port#1]\r\nBaud Rate = 9600\r\n' >"$run/scom.ini"
xvfb-run -a -s "-screen 0 1024x768x24" bash -s "$bin" "$run" "$root" <<'SCRIPT'
set -euo pipefail
bin=$1 run=$2 root=$3
export XDG_DATA_HOME=$run/donnees XDG_CONFIG_HOME=$run/config QT_QPA_PLATFORM=xcb
cd "$run"
# The recorded session, without a window manager: the map at a known place.
coproc ROBOT { exec "$bin/tools/kiv-robot/kiv-robot" "$run/scenario.scn"; }
robot=$ROBOT_PID
read -r mot device <&"${ROBOT[0]}"
KIV_COM1=$device "$bin/console/kiv" --weights "$root/data/beacons.wgh" & APP=$!
sleep 4
m() { xdotool mousemove $((8 + $1)) $((55 + $2)); }   # map point -> screen
xdotool mousemove 528 209 click 1; sleep 0.3          # "Destination"
m 437 62; xdotool click 1
sleep "${SESSION:-60}"
kill -TERM $APP; wait $APP || true
kill $robot 2>/dev/null || true
wait $robot || true
journal=$(ls "$XDG_DATA_HOME"/kiv-zul/journaux/*.kivlog | head -1)
"$bin/tools/kiv-log/kiv-log" "$journal" | grep -E "carte|Durée" | head -5

# The replay window, framed by the window manager, beside the console.
openbox & WM=$!
sleep 1
"$bin/console/kiv" --weights "$root/data/beacons.wgh" --replay "$journal" --speed 5 & APP=$!
sleep 3
fenetre=$(xdotool search --sync --name '^Rejeu : ' | head -1)
xdotool windowactivate --sync "$fenetre"
sleep "${SHOT_DELAY:-8}"
import -frame -window "$fenetre" "$root/docs/rejeu.png"
kill $APP; wait $APP || true
kill $WM; wait $WM || true
SCRIPT
echo "docs/rejeu.png"

#!/usr/bin/env bash
# Takes docs/run.png: the console under Xvfb during a virtual run. It places
# the destination, paints a wall, puts the robot down, presses "Go!!!" and
# grabs the screen a few cells later. Needs xvfb, imagemagick and xdotool;
# run after `make build`.
set -euo pipefail
cd "$(dirname "$0")/.."
exe=${1:-build/release/console/kiv}
xvfb-run -a -s "-screen 0 1024x768x24" bash -s "$exe" <<'SCRIPT'
QT_QPA_PLATFORM=xcb "$1" --weights data/beacons.wgh & APP=$!
sleep 3
xdotool key Return                                   # no serial port here
sleep 1
m() { xdotool mousemove $((8 + $1)) $((60 + $2)); }  # map point -> screen
radio() { xdotool mousemove "$1" "$2" click 1; sleep 0.2; }
radio 528 253; m 437 412; xdotool click 1            # Destination
radio 651 253                                        # Obstacle
m 262 60; xdotool mousedown 1
for y in $(seq 60 10 380); do m 262 "$y"; sleep 0.02; done
xdotool mouseup 1
radio 528 276; m 62 87; xdotool click 1              # Robot
xdotool mousemove 705 444 click 1                    # Go!!!
sleep 7.8
import -window root -crop 790x580+0+0 docs/run.png
kill $APP
SCRIPT

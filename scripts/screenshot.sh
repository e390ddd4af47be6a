#!/usr/bin/env bash
# Takes docs/screenshot.png: starts the console under Xvfb, paints a wall,
# places the destination, the bandit and the robot with the mouse, grabs the
# screen. Needs xvfb, imagemagick and xdotool; run after `make build`.
set -euo pipefail
cd "$(dirname "$0")/.."
exe=${1:-build/release/console/kiv}
xvfb-run -a -s "-screen 0 1024x768x24" bash -s "$exe" <<'SCRIPT'
QT_QPA_PLATFORM=xcb "$1" --weights data/beacons.wgh & APP=$!
sleep 3
xdotool key Return                                  # no serial port here
sleep 1
m() { xdotool mousemove $((8 + $1)) $((60 + $2)); } # map point -> screen
radio() { xdotool mousemove "$1" "$2" click 1; sleep 0.2; }
radio 651 253                                       # Obstacle
m 112 212; xdotool mousedown 1
for x in $(seq 112 10 362); do m "$x" 212; sleep 0.02; done
xdotool mouseup 1
m 312 237; xdotool mousedown 1
for y in $(seq 237 10 412); do m 312 "$y"; sleep 0.02; done
xdotool mouseup 1
radio 528 253; m 430 400; xdotool click 1           # Destination
radio 651 276; m 262 112; xdotool click 1           # Bandit
radio 528 276; m 70 380; xdotool click 1            # Robot
sleep 0.5
import -window root -crop 790x580+0+0 docs/screenshot.png
kill $APP
SCRIPT

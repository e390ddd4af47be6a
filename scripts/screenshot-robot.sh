#!/usr/bin/env bash
# Screenshot of the console driving the virtual robot, under Xvfb, for the
# README: docs/robot-run.png, the robot's frames in the reception box, the
# hidden block of data/robot/diagonale.scn found by the bumper and marked,
# the path around it. The scenario runs at a frame every 100 ms instead of
# 500 so the picture comes sooner. Needs xvfb, imagemagick and xdotool; run
# after `make build`.
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
coproc ROBOT { exec "$bin/tools/kiv-robot/kiv-robot" "$run/scenario.scn"; }
robot=$ROBOT_PID
read -r mot device <&"${ROBOT[0]}"
cd "$run"
KIV_COM1=$device QT_QPA_PLATFORM=xcb "$bin/console/kiv" --weights "$root/data/beacons.wgh" & APP=$!
sleep 4
m() { xdotool mousemove $((7 + $1)) $((54 + $2)); }   # map point -> screen
xdotool mousemove 528 209 click 1; sleep 0.3          # "Destination"
m 437 62; xdotool click 1
# About when the bumper has found the block and the robot goes round it.
sleep "${SHOT_DELAY:-48}"
import -window root -crop 790x580+0+0 "$root/docs/robot-run.png"
kill $APP
wait $robot || true
SCRIPT
echo "docs/robot-run.png"

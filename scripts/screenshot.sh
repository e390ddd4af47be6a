#!/usr/bin/env bash
# Screenshots of the console under Xvfb, for the README:
#   scripts/screenshot.sh map [exe]  -> docs/screenshot.png: a wall painted with
#       the mouse, the destination, the bandit and the robot placed;
#   scripts/screenshot.sh run [exe]  -> docs/run.png: a virtual run a few cells in;
#   scripts/screenshot.sh nopath [exe] -> docs/no-path.png: a wall across the
#       field, and the band on the map saying why there is no route;
#   scripts/screenshot.sh trainer [exe] -> docs/trainer-console.png: the trainer
#       window opened with the console's "&Entrainer" button.
# Needs xvfb, imagemagick and xdotool; run after `make build`.
set -euo pipefail
cd "$(dirname "$0")/.."
scene=${1:-map}
exe=${2:-build/release/console/kiv}
xvfb-run -a -s "-screen 0 1024x768x24" bash -s "$exe" "$scene" <<'SCRIPT'
QT_QPA_PLATFORM=xcb "$1" --weights data/beacons.wgh & APP=$!
sleep 3
xdotool key Return                                   # no serial port here
sleep 1
m() { xdotool mousemove $((7 + $1)) $((54 + $2)); }  # map point -> screen
radio() { xdotool mousemove "$1" "$2" click 1; sleep 0.2; }
trait() {                                            # drag with the left button
    m "$1" "$2"; xdotool mousedown 1
    for p in $(seq "$3" 10 "$4"); do
        if [ "$5" = x ]; then m "$p" "$2"; else m "$1" "$p"; fi
        sleep 0.02
    done
    xdotool mouseup 1
}
if [ "$2" = trainer ]; then
    xdotool mousemove 743 417 click 1                # &Entrainer
    sleep 2
    fenetre=$(xdotool search --name 'Reseaux de Neurones' | head -1)
    import -window "$fenetre" docs/trainer-console.png
    xdotool key Escape
    sleep 0.5
    kill $APP
    exit 0
elif [ "$2" = nopath ]; then
    radio 528 209; m 437 412; xdotool click 1        # Destination
    radio 659 209; trait 262 20 20 480 y             # Obstacle: a wall across
    radio 528 232; m 62 87; xdotool click 1          # Robot
    sleep 0.5
    shot=docs/no-path.png
elif [ "$2" = run ]; then
    radio 528 209; m 437 412; xdotool click 1        # Destination
    radio 659 209; trait 262 60 60 380 y             # Obstacle: a wall
    radio 528 232; m 62 87; xdotool click 1          # Robot
    xdotool mousemove 733 388 click 1                # Go!!!
    sleep 7.8
    shot=docs/run.png
else
    radio 659 209                                    # Obstacle: a T
    trait 112 212 112 362 x
    trait 312 237 237 412 y
    radio 528 209; m 430 400; xdotool click 1        # Destination
    radio 659 232; m 262 112; xdotool click 1        # Bandit
    radio 528 232; m 70 380; xdotool click 1         # Robot
    sleep 0.5
    shot=docs/screenshot.png
fi
import -window root -crop 790x580+0+0 "$shot"
kill $APP
SCRIPT

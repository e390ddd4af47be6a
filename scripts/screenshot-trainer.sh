#!/usr/bin/env bash
# Takes docs/trainer.png and docs/progress.png: starts `kiv --trainer` under
# Xvfb, reads data/beacons.prm and chooses data/beacons.dat through the file
# dialogs, grabs the window, starts the training and grabs the screen while
# the progress box runs. Needs xvfb, imagemagick and xdotool; run after
# `make build`. Usage: scripts/screenshot-trainer.sh [path/to/kiv]
set -euo pipefail
cd "$(dirname "$0")/.."
exe=${1:-build/release/console/kiv}
xvfb-run -a -s "-screen 0 1024x768x24" bash -s "$exe" "$PWD/data" <<'SCRIPT'
set -euo pipefail
QT_QPA_PLATFORM=xcb "$1" --trainer & APP=$!
trap 'kill $APP 2>/dev/null || true' EXIT
data=$2
sleep 2
win=$(xdotool search --sync --name "Reseaux de Neurones" | head -1)
xdotool windowmove "$win" 8 8
sleep 0.5
eval "$(xdotool getwindowgeometry --shell "$win")"
# Centre of a control given in dialog units (the window is 344 x 221 of them).
click() {
    xdotool mousemove $((X + ($1 + $3 / 2) * WIDTH / 344)) $((Y + ($2 + $4 / 2) * HEIGHT / 221)) click 1
    sleep 0.7
}
file() { # types a path into the file dialog that just opened
    xdotool type --delay 5 "$1"; xdotool key Return; sleep 0.7
}
click 288 94 52 13; file "$data/beacons.prm"        # &Lire Paramètre
click 198 194 47 13; file "$data/beacons.dat"       # &Parcourir...
import -window root -crop "$((WIDTH + 16))x$((HEIGHT + 16))+0+0" docs/trainer.png
click 288 9 52 13                                   # &Entrainer
sleep "${KIV_SHOT_DELAY:-6}"
import -window root -crop 930x400+0+0 docs/progress.png
SCRIPT

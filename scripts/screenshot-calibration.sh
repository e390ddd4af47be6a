#!/usr/bin/env bash
# Takes docs/carte-erreur.png: the trainer's error map of the network the
# calibration test starts from (pre-trained on a field as measured, with the
# posts a few cm off), tested on the true field (data/geometrie/poteaux.geo,
# a position every 50 cm). Run after `make build`.
# Usage: scripts/screenshot-calibration.sh [build folder, build/release]
set -euo pipefail
cd "$(dirname "$0")/.."
b=${1:-build/release}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp data/geometrie/poteaux.geo "$work/"
"$b/tools/beacons/kiv-beacons" generate --geometry "$work/poteaux.geo" --dir "$work" --step 50 --seed 1 >/dev/null
QT_QPA_PLATFORM=offscreen "$b/tests/trainer/dialog/kiv_carte_erreur_demo" \
    tests/data/calibration/pre.wgh "$work/poteaux.dat" "poteaux.dat" docs/carte-erreur.png

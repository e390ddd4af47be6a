#!/usr/bin/env bash
# Takes docs/operateur.png (the link pane receiving, the battery warning and
# the robot's trail), docs/carte-agrandie.png (the map scaled to a bigger
# window) and docs/lien-perdu.png (the status bar once the frames stop): the
# test program kiv_operateur_demo drives the console offscreen with scripted
# frames and grabs it. Run after `make build`.
# Usage: scripts/screenshot-operateur.sh [path/to/kiv_operateur_demo]
set -euo pipefail
cd "$(dirname "$0")/.."
exe=${1:-build/release/tests/console/kiv_operateur_demo}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
(cd "$work" && QT_QPA_PLATFORM=offscreen "$OLDPWD/$exe" "$OLDPWD/docs")

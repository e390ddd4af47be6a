#!/usr/bin/env bash
# make robot (scripts/robot.sh): a restarted robot comes back on the same
# link, and the robot before it has ended with its summary; the last one
# removes its link as it ends.
set -euo pipefail
robot=${1:?kiv-robot program}
racine=${2:?source tree}
tmp=$(mktemp -d)
pids=()
nettoyer() {
    for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
    rm -rf "$tmp"
}
trap nettoyer EXIT
export KIV_RUN_DIR=$tmp KIV_ROBOT=$robot
printf 'depart 62 62 0\n' >"$tmp/essai.scn"

# Waits (up to 20 s) until the link leads to a terminal and $1 holds the
# robot's process id (robot.sh writes it before it becomes the robot), with
# the robot $2, if given, gone: its link went with it.
attendre_robot() {
    for _ in $(seq 200); do
        if [[ -e $tmp/robot && $(cat "$tmp/robot.pid" 2>/dev/null) == "$1" ]] \
            && { [[ -z ${2:-} ]] || [[ ! -e /proc/$2 ]]; }; then
            return 0
        fi
        sleep 0.1
    done
    echo "the robot $1 did not come on $tmp/robot" >&2
    return 1
}

bash "$racine/scripts/robot.sh" release "$tmp/essai.scn" >"$tmp/premier.out" 2>&1 &
premier=$!
pids+=("$premier")
attendre_robot "$premier"

bash "$racine/scripts/robot.sh" release "$tmp/essai.scn" >"$tmp/second.out" 2>&1 &
second=$!
pids+=("$second")
attendre_robot "$second" "$premier"
wait "$premier" || true
grep -q "^trames " "$tmp/premier.out" || { echo "the first robot did not end with its summary"; exit 1; }
[[ -e /proc/$second ]] || { echo "the restarted robot is not running"; cat "$tmp/second.out"; exit 1; }
echo "restarted on $(readlink "$tmp/robot")"

kill "$second"
wait "$second" || true
[[ ! -L $tmp/robot ]] || { echo "the last robot left its link behind"; exit 1; }
echo "make robot: restarted on the same link"

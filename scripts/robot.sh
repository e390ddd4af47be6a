#!/usr/bin/env bash
# make robot: restarts the virtual robot of `make run` on the same link,
# build/run/robot, in this terminal: the robot that `make run` (or an earlier
# `make robot`) started is ended first, then a new one starts from the
# scenario's start pose. The console reconnects with "Port série", OK, and
# probes the new robot's heading before it steers it. Ctrl+C ends the robot;
# the lines typed in this terminal move it ("aller X Y CAP", kiv-robot(1)).
#   scripts/robot.sh [preset] [scenario]
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
preset=${1:-release}
scenario=${2:-data/robot/diagonale.scn}
[[ $scenario == /* ]] || scenario=$root/$scenario
# KIV_RUN_DIR and KIV_ROBOT: another run folder and program (the tests').
run=${KIV_RUN_DIR:-$root/build/run}
robot=${KIV_ROBOT:-$root/build/$preset/tools/kiv-robot/kiv-robot}
lien=$run/robot
mkdir -p "$run"

# The robot of the last run, if it still runs: only that process, by its id,
# and only if it is the virtual robot.
if [[ -r $run/robot.pid ]]; then
    ancien=$(<"$run/robot.pid")
    if [[ $ancien =~ ^[0-9]+$ ]] && tr '\0' ' ' <"/proc/$ancien/cmdline" 2>/dev/null | grep -q "kiv-robot .*--link $lien"; then
        echo "robot: ending the robot $ancien"
        kill "$ancien" 2>/dev/null || true
        # It removes its link as it ends.
        for _ in $(seq 50); do
            [[ -e /proc/$ancien ]] || break
            sleep 0.1
        done
    fi
fi

echo "robot: $scenario on $lien; in the console: \"Port série\", OK"
echo "robot: type \"aller X Y CAP\" (cm, cm, degrees) to move it, \"aide\" for the commands"
echo $$ >"$run/robot.pid"
exec "$robot" --link "$lien" --trace "$run/trace.csv" "$scenario"

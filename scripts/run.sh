#!/usr/bin/env bash
# make run: the virtual robot on a pseudo-terminal of its own, reached through
# the stable link build/run/robot, and the console with COM1 pointed at that
# link (KIV_COM1), in a run folder of its own whose scom.ini names COM1, so the
# link opens without a message box. Closing the console closes the line, and
# the robot ends with it. A robot restarted meanwhile (make robot, or
# kiv-robot --link build/run/robot by hand) comes back on the same link: the
# console reconnects with "Port série", OK.
#   scripts/run.sh [preset] [scenario]
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
preset=${1:-release}
scenario=$root/${2:-data/robot/diagonale.scn}
bin=$root/build/$preset
run=$root/build/run
mkdir -p "$run"
printf ';scom.ini\r\n;fichier de configuration des ports s\351ries\r\n\r\n[OPTIONS]\r\nLast Port = 1\r\n\r\n[Port#1]\r\nBaud Rate = 9600\r\n' >"$run/scom.ini"

# The robot prints "device /dev/pts/N" first, then its summary when it ends.
lien=$run/robot
coproc ROBOT { exec "$bin/tools/kiv-robot/kiv-robot" --link "$lien" --trace "$run/trace.csv" "$scenario"; }
robot_pid=$ROBOT_PID
echo "$robot_pid" >"$run/robot.pid"
# Bash unsets ROBOT when the robot ends: read its output through a copy.
exec {robot_out}<&"${ROBOT[0]}"
trap 'kill "$robot_pid" 2>/dev/null || true' EXIT
read -r mot device <&"$robot_out"
if [ "$mot" != device ] || [ -z "$device" ]; then
    echo "run: the virtual robot did not start" >&2
    exit 1
fi
echo "run: virtual robot on $lien -> $device ($scenario), trace in $run/trace.csv"
echo "run: to restart the robot: make robot (another terminal), then \"Port série\", OK"
echo "run: to move it by hand (calibration): make robot in another terminal, then type there \"aller X Y CAP\""
cd "$run"
status=0
KIV_COM1=$lien "$bin/console/kiv" --weights "$root/data/beacons.wgh" || status=$?
# The console closed the line: the robot says how the run went and ends.
if read -r -t 5 bilan <&"$robot_out"; then
    echo "run: robot: $bilan"
fi
wait "$robot_pid" 2>/dev/null || true
trap - EXIT
exit $status

#!/usr/bin/env bash
# Soak: the console (offscreen) and the virtual robot in --fast mode, frames
# as fast as the answers come, for a given number of minutes (10 by
# default). Every minute it prints the frames of that minute and the
# console's resident memory; at the end, the robot's summary. A lost or
# shifted frame shows as a missing or unexpected answer in that summary, a
# deadlock as a minute without frames.
#   bench/soak.sh [minutes] [preset] [scenario]
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
minutes=${1:-10}
preset=${2:-release}
scenario=$root/${3:-data/robot/champ-libre.scn}
bin=$root/build/$preset
run=$root/build/soak
mkdir -p "$run"
rm -f "$run/trace.csv"
printf ';scom.ini\r\n;fichier de configuration des ports s\351ries\r\n\r\n[OPTIONS]\r\nLast Port = 1\r\n\r\n[Port#1]\r\nBaud Rate = 38400\r\n' >"$run/scom.ini"

coproc ROBOT { exec "$bin/tools/kiv-robot/kiv-robot" --fast --trace "$run/trace.csv" "$scenario"; }
robot_pid=$ROBOT_PID
# Bash unsets ROBOT when the robot ends: read its output through a copy.
exec {robot_out}<&"${ROBOT[0]}"
read -r mot device <&"$robot_out"
if [ "$mot" != device ]; then
    echo "soak: the virtual robot did not start" >&2
    exit 1
fi
cd "$run"
KIV_COM1=$device QT_QPA_PLATFORM=offscreen "$bin/console/kiv" --weights "$root/data/beacons.wgh" &
kiv_pid=$!
trap 'kill "$kiv_pid" "$robot_pid" 2>/dev/null || true' EXIT

rss() { awk '/^VmRSS/ { print $2 }' "/proc/$kiv_pid/status"; }
trames() { [ -f "$run/trace.csv" ] && wc -l <"$run/trace.csv" || echo 0; }
echo "minute,frames,frames_per_s,rss_kb"
sleep 5
avant=$(trames)
echo "0,$avant,,$(rss)"
for ((m = 1; m <= minutes; m++)); do
    sleep 60
    if ! kill -0 "$kiv_pid" 2>/dev/null; then
        echo "soak: the console ended early" >&2
        exit 1
    fi
    maintenant=$(trames)
    echo "$m,$((maintenant - avant)),$(((maintenant - avant) / 60)),$(rss)"
    avant=$maintenant
done
kill "$kiv_pid"
wait "$kiv_pid" 2>/dev/null || true
if read -r -t 10 bilan <&"$robot_out"; then
    echo "robot: $bilan"
fi
wait "$robot_pid" 2>/dev/null || true
trap - EXIT

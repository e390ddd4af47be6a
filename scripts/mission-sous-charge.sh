#!/usr/bin/env bash
# Runs the end-to-end tests (MissionTest.*) N times in a row (50 by default)
# beside two processor hogs, as a loaded CI machine would; prints the runs
# that failed and keeps their output in build/mission-sous-charge/.
#   scripts/mission-sous-charge.sh [N] [PRESET]
set -uo pipefail
cd "$(dirname "$0")/.."
n=${1:-50}
preset=${2:-release}
programme=build/$preset/tests/robot/kiv_tests_mission
[[ -x $programme ]] || { echo "build $programme first (make build)" >&2; exit 2; }
sortie=build/mission-sous-charge
mkdir -p "$sortie"
yes > /dev/null & h1=$!
yes > /dev/null & h2=$!
trap 'kill $h1 $h2 2>/dev/null' EXIT
echo "load before: $(cut -d' ' -f1-3 /proc/loadavg)"
echecs=0
for i in $(seq 1 "$n"); do
    if ! QT_QPA_PLATFORM=offscreen "$programme" > "$sortie/run-$i.log" 2>&1; then
        echecs=$((echecs + 1))
        echo "run $i failed: $sortie/run-$i.log"
    else
        rm -f "$sortie/run-$i.log"
    fi
done
echo "load after: $(cut -d' ' -f1-3 /proc/loadavg)"
echo "$((n - echecs)) of $n runs passed"
[[ $echecs -eq 0 ]]

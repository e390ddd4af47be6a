#!/usr/bin/env bash
# Runs every fuzz target of build/fuzz for the given number of seconds (60 by
# default), from its seed corpus and the corpus it grew before, with its
# dictionary when it has one. Stops at the first target that breaks an
# invariant or crashes; the input is left in build/fuzz/findings.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
mkdir -p build/fuzz/findings
for cible in build/fuzz/tests/fuzz/fuzz_*; do
    nom=${cible##*/fuzz_}
    corpus=build/fuzz/corpus/$nom
    mkdir -p "$corpus"
    options=(-max_total_time="$seconds" -print_final_stats=1 -artifact_prefix=build/fuzz/findings/"$nom"-)
    if [[ -f tests/fuzz/$nom.dict ]]; then
        options+=(-dict=tests/fuzz/$nom.dict)
    fi
    seeds=()
    if [[ -d tests/fuzz/corpus/$nom ]]; then
        seeds=(tests/fuzz/corpus/"$nom")
    fi
    echo "== $nom: ${seconds} s"
    if ! "$cible" "${options[@]}" "$corpus" "${seeds[@]}" >build/fuzz/"$nom".log 2>&1; then
        tail -40 build/fuzz/"$nom".log
        echo "fuzz: $nom failed (build/fuzz/$nom.log, build/fuzz/findings)"
        exit 1
    fi
    grep -E '^Done|stat::number_of_executed_units|stat::new_units_added' build/fuzz/"$nom".log || true
done

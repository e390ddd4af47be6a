#!/usr/bin/env bash
# Checks what the naming rule of docs/conception.md makes mechanical:
#  - no two types defined at file scope in the headers share a name, whatever
#    their namespace (the program's, the tools', the benchmarks');
#  - every name the rule freezes still exists in the sources (a name ending
#    with "_" is a prefix), so the frozen list cannot go stale.
#   scripts/check-names.sh [ROOT]
# Prints each breach and exits 1.
set -uo pipefail
root=${1:-$(dirname "$0")/..}
cd "$root" || { echo "check-names: no folder $root" >&2; exit 2; }
statut=0

sources() { git ls-files "$@" ':!tests' 2>/dev/null || find . -path ./build -prune -o -path ./tests -prune -o \( -name '*.h' -o -name '*.cpp' \) -print; }

doubles=$(sources '*.h' | xargs grep -hoE '^(class|struct) [A-Za-z0-9_]+( final)? *(:|\{|$)' |
    sed -E 's/^(class|struct) ([A-Za-z0-9_]+).*/\2/' | sort | uniq -d)
for type in $doubles; do
    echo "check-names: the type $type is defined twice:"
    sources '*.h' | xargs grep -nE "^(class|struct) $type\b( final)? *(:|\{|$)" | sed 's/^/    /'
    statut=1
done

figes=$(awk '/^1\. \*\*The original names stay/{f=1} /^2\. \*\*Every other new name/{f=0} f' docs/conception.md |
    grep -o '`[^`]*`' | tr -d '`')
[[ -n $figes ]] || { echo "check-names: no frozen list in docs/conception.md"; exit 1; }
fichiers=$(sources '*.h' '*.cpp')
for nom in $figes; do
    if [[ $nom == *_ ]]; then
        motif="\\b$nom"
    else
        motif="\\b$nom\\b"
    fi
    if ! grep -qE "$motif" $fichiers; then
        echo "check-names: $nom is frozen by the naming rule but no longer in the sources"
        statut=1
    fi
done
[[ $statut -eq 0 ]] && echo "check-names: $(wc -w <<<"$figes") frozen names present, no type defined twice"
exit $statut

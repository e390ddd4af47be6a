#!/usr/bin/env bash
# Renders manual pages (plain or gzipped) as `man -l` shows them and fails on
# any warning of the formatter, or when a page's NAME section does not name
# its program (the file's name up to ".1").
#   scripts/check-man.sh PAGE...
# Uses man when present, else groff; exits 77 (skipped) with neither.
set -uo pipefail
export LC_ALL=C.UTF-8 MANWIDTH=80
[[ $# -gt 0 ]] || { echo "check-man: no page given" >&2; exit 2; }

if command -v man >/dev/null; then
    outil=man
elif command -v groff >/dev/null; then
    outil=groff
else
    echo "check-man: neither man nor groff here; pages not rendered"
    exit 77
fi

echecs=0
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
for page in "$@"; do
    nom=$(basename "$page")
    nom=${nom%.gz}
    nom=${nom%.1}
    if [[ ! -s $page ]]; then
        echo "$page: missing or empty"
        echecs=$((echecs + 1))
        continue
    fi
    if [[ $outil == man ]]; then
        man --warnings -E UTF-8 -l "$page" >"$tmp/texte" 2>"$tmp/erreurs"
    elif [[ $page == *.gz ]]; then
        gzip -dc "$page" | groff -man -ww -Tutf8 -P-cbou >"$tmp/texte" 2>"$tmp/erreurs"
    else
        groff -man -ww -Tutf8 -P-cbou "$page" >"$tmp/texte" 2>"$tmp/erreurs"
    fi
    statut=$?
    if [[ $statut -ne 0 || -s $tmp/erreurs ]]; then
        echo "$page: $outil exited $statut:"
        cat "$tmp/erreurs"
        echecs=$((echecs + 1))
        continue
    fi
    # The line after NAME reads "nom - what it does" (man may render the
    # hyphen as U+2010).
    if ! sed -n '/^NAME$/{n;p;q}' "$tmp/texte" | grep -Eq "^ +$nom +(-|‐|−) +[^ ]"; then
        echo "$page: its NAME section does not name $nom:"
        head -8 "$tmp/texte"
        echecs=$((echecs + 1))
    fi
done
if ((echecs > 0)); then
    echo "check-man: $echecs of $# pages fail"
    exit 1
fi
echo "check-man: $# pages render without warnings ($outil)"

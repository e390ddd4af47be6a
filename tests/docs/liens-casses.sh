#!/usr/bin/env bash
# The documentation check finds every kind of broken link, and only those:
# scripts/check-docs.sh on a sample (tests/docs/exemple) whose good links
# cover files, headings (accented, repeated), pictures, folders, titles and
# addresses, and whose code holds links that are not links.
set -uo pipefail
source_dir=${1:?source folder}
sortie=$(bash "$source_dir/scripts/check-docs.sh" "$source_dir/tests/docs/exemple" README.md autre.md)
code=$?
attendu='README.md:20: absent.md: no such file or folder
README.md:20: #absente: no heading with this anchor
README.md:20: absente.png: no such file or folder
README.md:21: autre.md#la-suite-2: no heading with this anchor
README.md:21: ../../../docs/run.png#x: an anchor into a file that is not Markdown
README.md:23: manquant.md: no such file or folder
check-docs: 6 broken of 14 links in 2 files'
if [[ $code -ne 1 || $sortie != "$attendu" ]]; then
    echo "check-docs exited $code and printed:"
    echo "$sortie"
    echo "expected exit 1 and:"
    echo "$attendu"
    exit 1
fi
echo "check-docs reports the six broken links of the sample"

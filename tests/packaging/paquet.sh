#!/usr/bin/env bash
# Builds the Debian package of a build tree, unpacks it into a temporary
# root (no installation) and runs its programs from there: they must start
# and find their bundled data beside them; their manual pages and the
# documentation must be there too. Exits 77 (skipped) without
# dpkg-deb or cpack.
set -euo pipefail
build=${1:?build folder}
command -v dpkg-deb >/dev/null && command -v cpack >/dev/null || { echo "no dpkg-deb/cpack"; exit 77; }

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$tmp/paquet" >"$tmp/cpack.log" 2>&1 \
    || { cat "$tmp/cpack.log"; exit 1; }
deb=$(ls "$tmp"/paquet/*.deb)
dpkg-deb --field "$deb" Package Depends
dpkg-deb -x "$deb" "$tmp/racine"
usr=$tmp/racine/usr

for f in bin/kiv bin/kiv-train bin/kiv-log share/kiv-zul/beacons.wgh share/kiv-zul/beacons.dat \
    share/kiv-zul/beacons.prm share/applications/org.kivzul.Console.desktop \
    share/metainfo/org.kivzul.Console.metainfo.xml share/icons/hicolor/scalable/apps/kiv-zul.svg \
    share/icons/hicolor/48x48/apps/kiv-zul.png share/icons/hicolor/256x256/apps/kiv-zul.png \
    share/doc/kiv-zul/README.md share/doc/kiv-zul/docs/manuel.md share/doc/kiv-zul/docs/conception.md \
    share/doc/kiv-zul/docs/screenshot.png; do
    [[ -s $usr/$f ]] || { echo "missing from the package: $f"; exit 1; }
done

# Every installed program has its manual page, and each renders without a
# warning from the formatter (skipped where the machine has no man or groff).
pages=()
for programme in "$usr"/bin/*; do
    nom=$(basename "$programme")
    page=$usr/share/man/man1/$nom.1.gz
    [[ -s $page ]] || page=$usr/share/man/man1/$nom.1
    [[ -s $page ]] || { echo "missing from the package: the manual page of $nom"; exit 1; }
    pages+=("$page")
done
[[ ${#pages[@]} -ge 3 ]] || { echo "expected kiv, kiv-train and kiv-log in bin/"; exit 1; }
code=0
bash "$(dirname "$0")/../../scripts/check-man.sh" "${pages[@]}" || code=$?
[[ $code -eq 0 || $code -eq 77 ]] || exit 1

# The trainer evaluates the installed network.
sortie=$("$usr/bin/kiv-train" --weights "$usr/share/kiv-zul/beacons.wgh" --eval 0.1543354 0.155356 0.144413)
echo "$sortie"
[[ $sortie =~ ^"Valeur de sortie: 1-> "[0-9.-]+", 2-> "[0-9.-]+$ ]] || { echo "unexpected kiv-train output"; exit 1; }

# kiv-log takes the network installed beside it by default.
aide=$("$usr/bin/kiv-log" --help)
[[ $aide == *"Réseau par défaut : $usr/share/kiv-zul/beacons.wgh"* ]] \
    || { echo "kiv-log does not look for its network beside itself:"; echo "$aide"; exit 1; }

# The desktop entry takes a field file, of the type the package declares.
bureau=$usr/share/applications/org.kivzul.Console.desktop
grep -qx "Exec=kiv --bundled %f" "$bureau"
grep -qx "MimeType=application/x-kiv-zul-terrain;" "$bureau"
mime=$usr/share/mime/packages/kiv-zul.xml
[[ -s $mime ]] || { echo "missing from the package: the MIME type of fields"; exit 1; }
if command -v update-mime-database >/dev/null; then
    # The type database built from the package alone knows .kiv files.
    mkdir -p "$tmp/mime/packages"
    cp "$mime" "$tmp/mime/packages/"
    XDG_DATA_HOME=$tmp update-mime-database "$tmp/mime" 2>&1 | tee "$tmp/mime.log"
    [[ ! -s $tmp/mime.log ]] || { echo "the MIME type of fields does not read cleanly"; exit 1; }
    grep -q "application/x-kiv-zul-terrain:\*\.kiv" "$tmp/mime/globs2" \
        || { echo "no glob *.kiv in the MIME database"; exit 1; }
fi

# The description's lines are text, not a CMake list (no line starts with ';').
description=$(dpkg-deb --field "$deb" Description)
echo "$description"
if grep -q "^ *;" <<<"$description"; then
    echo "the package description has lines starting with ';'"
    exit 1
fi

# One version everywhere: the package's, every program's --version, the
# metadata's release.
version=$(dpkg-deb --field "$deb" Version)
for p in kiv kiv-train kiv-log kiv-robot; do
    [[ -x $usr/bin/$p ]] || continue
    "$usr/bin/$p" --help >/dev/null
    [[ $("$usr/bin/$p" --version) == "$p $version" ]] \
        || { echo "$p --version is not the package's $version"; exit 1; }
done
grep -q "<release version=\"$version\"" "$usr/share/metainfo/org.kivzul.Console.metainfo.xml" \
    || { echo "the metadata's release is not the package's $version"; exit 1; }
echo "package: $(basename "$deb") installs and runs from $usr"

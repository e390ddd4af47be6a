#!/usr/bin/env bash
# Installs the Debian packages the console needs to build, run and test.
# Does nothing when everything is already there; uses sudo when not root.
set -euo pipefail

packages=(
    cmake ninja-build g++ make
    qt6-base-dev qt6-base-dev-tools qt6-serialport-dev libqt6test6
    qt6-translations-l10n
    libgl-dev
    libgtest-dev libgmock-dev libbenchmark-dev libfann-dev
    clang-tidy
    fonts-dejavu-core
    xvfb xauth
    locales
)
# `bootstrap.sh fuzz`: also the compiler and runtime of the fuzz targets.
if [[ "${1:-}" == "fuzz" ]]; then
    packages+=(clang-14 libclang-rt-14-dev)
fi

missing=()
for p in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
    if [[ "$status" != "install ok installed" ]]; then
        missing+=("$p")
    fi
done

# The file tests compare bytes written under a French locale with those
# written under "C"; the locale has to exist for that.
need_locale=0
if ! locale -a 2>/dev/null | grep -qi '^fr_FR\.utf-\?8$'; then
    need_locale=1
fi

if [[ ${#missing[@]} -eq 0 && $need_locale -eq 0 ]]; then
    exit 0
fi

if [[ $(id -u) -eq 0 ]]; then
    as_root=()
elif command -v sudo >/dev/null 2>&1; then
    as_root=(sudo)
elif [[ ${#missing[@]} -eq 0 ]]; then
    # Only the locale is missing: its test is skipped without it.
    echo "bootstrap: no root or sudo to generate fr_FR.UTF-8; its test will be skipped" >&2
    exit 0
else
    echo "bootstrap: need root or sudo to install: ${missing[*]}" >&2
    exit 1
fi
export DEBIAN_FRONTEND=noninteractive
if [[ ${#missing[@]} -gt 0 ]]; then
    echo "bootstrap: installing ${missing[*]}"
    "${as_root[@]}" apt-get update -q
    "${as_root[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
if [[ $need_locale -eq 1 ]]; then
    echo "bootstrap: generating the fr_FR.UTF-8 locale"
    "${as_root[@]}" sed -i 's/^# *\(fr_FR.UTF-8 UTF-8\)/\1/' /etc/locale.gen
    grep -q '^fr_FR.UTF-8 UTF-8' /etc/locale.gen \
        || echo 'fr_FR.UTF-8 UTF-8' | "${as_root[@]}" tee -a /etc/locale.gen >/dev/null
    "${as_root[@]}" locale-gen >/dev/null \
        || echo "bootstrap: could not generate fr_FR.UTF-8; its test will be skipped" >&2
fi

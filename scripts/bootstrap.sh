#!/usr/bin/env bash
# Installs the Debian packages the console needs to build, run and test.
# Does nothing when everything is already there; uses sudo when not root.
set -euo pipefail

packages=(
    cmake ninja-build g++ make
    qt6-base-dev qt6-base-dev-tools qt6-serialport-dev libqt6test6
    libgl-dev
    libgtest-dev libgmock-dev libbenchmark-dev libfann-dev
    fonts-dejavu-core
    xvfb xauth
)

missing=()
for p in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
    if [[ "$status" != "install ok installed" ]]; then
        missing+=("$p")
    fi
done

if [[ ${#missing[@]} -eq 0 ]]; then
    exit 0
fi

echo "bootstrap: installing ${missing[*]}"
if [[ $(id -u) -eq 0 ]]; then
    as_root=()
elif command -v sudo >/dev/null 2>&1; then
    as_root=(sudo)
else
    echo "bootstrap: need root or sudo to install: ${missing[*]}" >&2
    exit 1
fi
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update -q
"${as_root[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"

#!/usr/bin/env bash
# Installs the Debian packages the build, the tests, the screenshots and the package check need; does
# nothing when all are present. Runs apt-get through sudo when not root.
set -euo pipefail

packages=(
    build-essential cmake make pkg-config clang libclang-rt-14-dev
    qt6-base-dev qt6-svg-dev libgl1-mesa-dev
    googletest libgtest-dev libgmock-dev libbenchmark-dev nlohmann-json3-dev
    python3 python3-xraylib
    fonts-noto-cjk fonts-liberation2
    xvfb xauth imagemagick
    dpkg-dev file lintian appstream desktop-file-utils
)

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$p")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
echo "Installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"

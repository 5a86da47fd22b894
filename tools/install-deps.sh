#!/usr/bin/env bash
# Installs the Debian packages the build, the tests, the screenshots and the package check need; does
# nothing when all are present. Runs apt-get through sudo when not root.
set -euo pipefail

packages=(
    build-essential cmake make pkg-config clang libclang-rt-14-dev
    qt6-base-dev qt6-svg-dev libgl1-mesa-dev qt6-tools-dev qt6-l10n-tools qt6-translations-l10n
    googletest libgtest-dev libgmock-dev libbenchmark-dev nlohmann-json3-dev libcli11-dev
    python3 python3-xraylib locales
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

sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# The locales the batch tool's locale test runs it under (a decimal comma, Japanese).
for locale in de_DE ja_JP; do
    if ! locale -a 2>/dev/null | grep -qix "$locale.utf-\?8"; then
        $sudo localedef -i "$locale" -f UTF-8 "$locale.UTF-8"
    fi
done

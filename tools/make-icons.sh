#!/usr/bin/env bash
# Redraws the committed PNG sizes of the program's icon from packaging/icons/halvorn.svg (the package
# installs them into the hicolor theme). Needs rsvg-convert (Debian librsvg2-bin); the build does not.
set -euo pipefail
cd "$(dirname "$0")/../packaging/icons"
for size in 16 32 48 64 128 256; do
    rsvg-convert -w "$size" -h "$size" halvorn.svg -o "halvorn-$size.png"
done

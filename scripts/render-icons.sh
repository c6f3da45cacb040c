#!/usr/bin/env bash
# Renders the scalable icon into the PNG sizes of the hicolor theme, beside it
# under data/icons/hicolor. The PNGs are committed, so a build needs no SVG
# renderer: run this (it needs rsvg-convert, from librsvg2-bin) after editing
# data/icons/hicolor/scalable/apps/io.github.looptide.Looptide.svg.
set -euo pipefail
cd "$(dirname "$0")/../data/icons/hicolor"
name=io.github.looptide.Looptide
for size in 16 22 24 32 48 64 128 256 512; do
    mkdir -p "${size}x${size}/apps"
    rsvg-convert -w "$size" -h "$size" "scalable/apps/$name.svg" -o "${size}x${size}/apps/$name.png"
done
echo "rendered $name.png at 16 to 512 px"

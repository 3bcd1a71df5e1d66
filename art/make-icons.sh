#!/bin/sh
# Renders the application icon app/gui/appicon/ktr4180.svg into the PNG sizes
# that desktops look for (app/gui/appicon/ktr4180-<size>.png). The PNGs are
# committed: the window program carries them as its window icon and the
# install puts them into the hicolor icon theme.
# Needs rsvg-convert (librsvg2-bin) or ImageMagick's convert.
set -e
cd "$(dirname "$0")/.."
DIR=app/gui/appicon
SVG=$DIR/ktr4180.svg
SIZES="16 22 24 32 48 64 128 256"

render() {
    if command -v rsvg-convert >/dev/null 2>&1; then
        rsvg-convert -w "$1" -h "$1" "$SVG" -o "$2"
    else
        convert -background none -density $((96 * $1 / 64)) "$SVG" -resize "$1x$1" -depth 8 "$2"
    fi
}

for size in $SIZES; do
    render "$size" "$DIR/ktr4180-$size.png"
done

#!/bin/sh
# Re-renders every PNG under src/ui/icons from its SVG source, and the raw
# RGBA copies of those the window shows, which start-up reads without a PNG
# decoder. Needs rsvg-convert (Debian: librsvg2-bin) and convert
# (imagemagick). Run from anywhere.
set -eu

icons="$(cd "$(dirname "$0")/../src/ui/icons" && pwd)"

if ! command -v rsvg-convert >/dev/null 2>&1; then
    echo "render-icons: rsvg-convert not found (install librsvg2-bin)" >&2
    exit 1
fi
if ! command -v convert >/dev/null 2>&1; then
    echo "render-icons: convert not found (install imagemagick)" >&2
    exit 1
fi

# render SOURCE SIZE OUTPUT
render() {
    rsvg-convert --width="$2" --height="$2" --keep-aspect-ratio \
        --output="$icons/$3" "$icons/$1"
    echo "$3"
    # The window's images also as raw RGBA bytes; not the 256 px icon, which
    # is only installed, nor the double-size twins, read on dense screens only.
    if [ "$2" -le 48 ] && [ "${3%@2x.png}" = "$3" ]; then
        convert "$icons/$3" -depth 8 "RGBA:$icons/${3%.png}.rgba"
        echo "${3%.png}.rgba"
    fi
}

# Application icon. Each size comes from the drawing tuned for it: the
# 16 px and 32 px drawings keep their edges on whole pixels at that size,
# the large drawing does so at 24 and 48.
render velmora-small.svg 16 velmora-16.png
render velmora.svg       24 velmora-24.png
render velmora-32.svg    32 velmora-32.png
render velmora.svg       48 velmora-48.png
render velmora.svg      256 velmora-256.png

# Picture buttons, with double-size versions that Qt picks up on
# high-density screens.
for name in cut copy paste delete refresh; do
    render "$name.svg" 20 "$name.png"
    render "$name.svg" 40 "$name@2x.png"
done

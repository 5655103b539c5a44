#!/usr/bin/env bash
# Checks a 320 x 240 render of a demo row: many pixels brighter than black in the middle third (a model
# is drawn) and none in the four corners (the black background is kept). Prints the middle's count of
# such pixels; on failure says why in one line and exits 1.
#   scripts/check-rendered-row.sh ROW.png
set -euo pipefail
png=$1
lit() { convert "$png" -crop "$1" +repage -fx 'max(max(r,g),b) > 8/255 ? 1 : 0' \
    -format '%[fx:int(mean*w*h+0.5)]' info:; }
middle=$(lit 106x80+107+80)
corners=$(($(lit 8x8+0+0) + $(lit 8x8+312+0) + $(lit 8x8+0+232) + $(lit 8x8+312+232)))
if [ "$middle" -le 1000 ]; then
    echo "$png shows no model in the middle ($middle lit pixels)" >&2
    exit 1
fi
if [ "$corners" -ne 0 ]; then
    echo "$png: the corners are not the black background" >&2
    exit 1
fi
echo "$middle"

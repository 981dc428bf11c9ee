#!/usr/bin/env bash
# Draws the program's icon at the sizes the desktop and the windows use, from vadazaz.svg.
# Run it after changing the drawing and commit the pictures with it (rsvg-convert: librsvg2-bin).
set -euo pipefail
cd "$(dirname "$0")"
for size in 16 22 24 32 48 64 128 256; do
    rsvg-convert --width "$size" --height "$size" vadazaz.svg --output "vadazaz-$size.png"
done

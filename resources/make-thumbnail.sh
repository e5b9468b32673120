#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Draws the picker's stand-in thumbnails of files it cannot show (Flash movies, DBL pictures).
# Usage: make-thumbnail.sh WIDTH HEIGHT LABEL TOP-COLOUR BOTTOM-COLOUR OUTPUT.gif
set -eu
C=${CONVERT:-/usr/bin/convert}
font=${MARROWLARK_THUMB_FONT:-/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf}
w=$1
h=$2
"$C" -size "${w}x${h}" gradient:"$4-$5" -fill '#FFFFFF40' -draw "roundrectangle 6,6 $((w - 7)),$((h - 7)) 10,10" \
  -font "$font" -pointsize $((h / 4)) -fill white -stroke '#00000060' -strokewidth 1 -gravity center \
  -annotate +0+0 "$3" -colors 64 "$6"

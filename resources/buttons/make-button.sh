#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Draws one link-button picture of the installation with ImageMagick.
# Usage: make-button.sh STYLE COLOUR OUTPUT   (STYLE: glossy, flat, pill, outline, wood)
set -eu
style=$1
colour=$2
out=$3
C=${CONVERT:-/usr/bin/convert}
W=100
H=36
case "$style" in
glossy)
  # A rounded body with a darker lower half and a light sheen on the upper half.
  "$C" -size ${W}x${H} xc:none -fill "$colour" -draw "roundrectangle 0,0 $((W-1)),$((H-1)) 10,10" \
    \( -size ${W}x${H} gradient:'#FFFFFF00-#00000060' \) -compose Atop -composite \
    \( -size ${W}x${H} xc:none -fill '#FFFFFF70' -draw "roundrectangle 4,2 $((W-5)),$((H/2)) 8,8" \) \
    -compose Over -composite "$out" ;;
flat)
  "$C" -size ${W}x${H} xc:none -fill "$colour" -draw "roundrectangle 0,0 $((W-1)),$((H-1)) 4,4" "$out" ;;
pill)
  "$C" -size ${W}x${H} xc:none -fill "$colour" -draw "roundrectangle 0,0 $((W-1)),$((H-1)) 17,17" \
    \( -size ${W}x${H} gradient:'#FFFFFF50-#00000030' \) -compose Atop -composite "$out" ;;
outline)
  "$C" -size ${W}x${H} xc:none -fill '#FFFFFFE0' -stroke "$colour" -strokewidth 3 \
    -draw "roundrectangle 2,2 $((W-3)),$((H-3)) 8,8" "$out" ;;
wood)
  # A small plank: grain from stretched noise, no transparency (JPEG).
  "$C" -size ${W}x${H} -seed 5 plasma:fractal -modulate 100,0 -resize 400x${H}! -crop ${W}x${H}+0+0 +repage \
    +level-colors "#7A4A22,$colour" -bordercolor '#5A3416' -border 2 -resize ${W}x${H}! -quality 90 "$out" ;;
*)
  echo "make-button.sh: unknown style $style" >&2
  exit 2 ;;
esac
# Pictures are stored with 8 bits a channel: the smaller files decode everywhere.
case "$out" in
*.png) "$C" "$out" -depth 8 "$out" ;;
esac

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
# A gift stores its button picture as JPEG, which has no transparency: whatever lies outside the
# rounded body would show in the gift as black. So every button is opaque: the body sits on a
# darker shade of its own colour, which reads as a bevelled frame on any card.
case "$style" in
glossy)
  # A rounded body with a darker lower half and a light sheen on the upper half.
  "$C" -size ${W}x${H} xc:"$colour" -fill black -colorize 40% \
    \( -size ${W}x${H} xc:none -fill "$colour" -draw "roundrectangle 1,1 $((W-2)),$((H-2)) 9,9" \
       \( -size ${W}x${H} gradient:'#FFFFFF00-#00000060' \) -compose Atop -composite \
       \( -size ${W}x${H} xc:none -fill '#FFFFFF70' -draw "roundrectangle 4,3 $((W-5)),$((H/2)) 7,7" \) \
       -compose Over -composite \) \
    -compose Over -composite -alpha off "$out" ;;
flat)
  "$C" -size ${W}x${H} xc:"$colour" -fill black -colorize 25% -fill "$colour" \
    -draw "roundrectangle 1,1 $((W-2)),$((H-2)) 4,4" -alpha off "$out" ;;
pill)
  "$C" -size ${W}x${H} xc:"$colour" -fill black -colorize 35% \
    \( -size ${W}x${H} xc:none -fill "$colour" -draw "roundrectangle 1,1 $((W-2)),$((H-2)) 16,16" \
       \( -size ${W}x${H} gradient:'#FFFFFF50-#00000030' \) -compose Atop -composite \) \
    -compose Over -composite -alpha off "$out" ;;
outline)
  # A light face inside a frame of the colour.
  "$C" -size ${W}x${H} xc:"$colour" -fill '#FFFFFF' -stroke "$colour" -strokewidth 3 \
    -draw "roundrectangle 2,2 $((W-3)),$((H-3)) 8,8" -alpha off "$out" ;;
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

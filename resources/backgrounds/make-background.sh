#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Draws one background picture of the installation with ImageMagick.
# Usage: make-background.sh NAME OUTPUT   (CONVERT names ImageMagick's convert, /usr/bin/convert by default)
# Random parts use fixed seeds, so every build draws the same pictures.
set -eu
name=$1
out=$2
C=${CONVERT:-/usr/bin/convert}
W=640
H=480

# N random points inside the picture, one "x y size" a line, from a fixed seed.
points() { awk -v n="$1" -v seed="$2" -v w="$W" -v h="$H" -v s="$3" \
  'BEGIN { srand(seed); for (i = 0; i < n; i++) printf "%d %d %.1f\n", rand() * w, rand() * h, 0.5 + rand() * s }'; }

heart() { # x y size: a heart drawn from two curves
  awk -v x="$1" -v y="$2" -v s="$3" 'BEGIN {
    printf "path \"M %d,%d C %d,%d %d,%d %d,%d C %d,%d %d,%d %d,%d Z\" ",
      x, y + s * 0.35, x - s * 1.1, y - s * 0.45, x - s * 0.35, y - s * 1.05, x, y - s * 0.45,
      x + s * 0.35, y - s * 1.05, x + s * 1.1, y - s * 0.45, x, y + s * 0.35 }'; }

case "$name" in
soft-peach)
  "$C" -size ${W}x${H} gradient:'#FFE3D3-#FFC2B8' -quality 90 "$out" ;;
mint-breeze)
  "$C" -size ${W}x${H} gradient:'#E6FFF4-#9FE3CD' "$out" ;;
sunset)
  "$C" -size ${W}x${H} gradient:'#FFB347-#7B3F9E' \( -size ${W}x${H} xc:none -fill '#FFF2B0C0' \
    -draw "circle 320,330 320,260" -blur 0x4 \) -composite -quality 90 "$out" ;;
lavender)
  "$C" -size ${W}x${H} radial-gradient:'#F6EEFF-#B9A2E0' -colors 128 "$out" ;;
paper)
  "$C" -size ${W}x${H} -seed 11 plasma:'#F4E9D4-#E8D9BC' -modulate 100,0 -blur 0x1 \
    +level-colors '#E2CFA6,#FAF0DA' -attenuate 0.25 +noise Gaussian -quality 90 "$out" ;;
sky)
  "$C" -size ${W}x${H} gradient:'#5FA8E8-#CFE9FF' \( -size ${W}x${H} -seed 7 plasma:fractal -colorspace Gray \
    -blur 0x6 -level 50%,85% -alpha copy -fill white -colorize 100 \) -composite -quality 90 "$out" ;;
night-stars)
  stars=$(points 160 3 1.6 | awk '{ printf "circle %d,%d %d,%.1f ", $1, $2, $1, $2 + $3 }')
  bright=$(points 14 5 1.5 | awk '{ printf "circle %d,%d %d,%.1f ", $1, $2 * 0.7, $1, $2 * 0.7 + $3 + 1.5 }')
  "$C" -size ${W}x${H} gradient:'#0B1030-#2B3A7A' -fill '#FFFFFFD0' -draw "$stars" \
    \( -size ${W}x${H} xc:none -fill '#FFF8D0' -draw "$bright" -blur 0x2 \) -composite \
    -fill '#FFF6D8' -draw "circle 540,90 540,50" -fill '#1A2250' -draw "circle 558,80 558,44" "$out" ;;
hearts)
  draw=""
  for p in "80 100 40" "220 60 26" "400 120 48" "560 70 30" "140 300 34" "320 260 58" "500 330 40" \
           "600 240 22" "60 440 28" "240 430 36" "420 450 26" "610 430 38" "340 40 18" "180 190 20"; do
    draw="$draw$(heart $p)"
  done
  "$C" -size ${W}x${H} gradient:'#FFE6EE-#FFC4D6' \( -size ${W}x${H} xc:none -fill '#FF6F9170' \
    -draw "$draw" -blur 0x0.8 \) -composite "$out" ;;
balloons)
  draw=""
  for p in "110 150 44 #FF5A5F" "230 110 38 #FFC93C" "340 170 46 #4DA3FF" "460 120 40 #6DD47E" \
           "560 180 36 #C77DFF" "170 260 32 #FF8FAB" "500 280 30 #FFA94D"; do
    set -- $p
    draw="$draw fill $4 stroke none ellipse $1,$2 $3,$(( $3 * 6 / 5 )) 0,360"
    draw="$draw fill none stroke #6B6B6B path 'M $1,$(( $2 + $3 * 6 / 5 )) Q $(( $1 + 14 )),$(( $2 + $3 * 2 )) $1,480'"
    draw="$draw fill #FFFFFF90 stroke none ellipse $(( $1 - $3 / 3 )),$(( $2 - $3 / 2 )) $(( $3 / 6 )),$(( $3 / 4 )) 0,360"
  done
  "$C" -size ${W}x${H} gradient:'#8FD3FF-#E9F7FF' -strokewidth 1.5 -draw "$draw" -quality 90 "$out" ;;
confetti)
  draw=$(points 220 9 6 | awk 'BEGIN { split("#FF5A5F #FFC93C #4DA3FF #6DD47E #C77DFF #FF8FAB", c, " ") }
    { printf "fill %s rotate 0 rectangle %d,%d %d,%d ", c[NR % 6 + 1], $1, $2, $1 + $3 * 2 + 3, $2 + $3 + 2 }')
  "$C" -size ${W}x${H} xc:'#FFFDF5' -draw "$draw" -colors 64 "$out" ;;
polka-dots)
  # One 40x40 tile repeated: the pattern tiles seamlessly at any size. Soft dots keep text on
  # top of them readable.
  "$C" -size 40x40 xc:'#FFF1C9' -fill '#F8CE96' -draw "circle 10,10 10,4" -draw "circle 30,30 30,24" \
    -write mpr:tile +delete -size ${W}x${H} tile:mpr:tile "$out" ;;
stripes)
  "$C" -size 32x32 xc:'#DFF3FF' -fill '#A7D8F5' -draw "polygon 0,0 16,0 32,16 32,32 0,0" \
    -draw "polygon 0,16 16,32 0,32" -write mpr:tile +delete -size ${W}x${H} tile:mpr:tile \
    -type TrueColor BMP3:"$out" ;;
gingham)
  "$C" -size 48x48 xc:'#FFFFFF' -fill '#E8566C60' -draw "rectangle 0,0 23,47" -draw "rectangle 0,0 47,23" \
    -write mpr:tile +delete -size ${W}x${H} tile:mpr:tile -colors 32 "$out" ;;
ocean)
  "$C" -size ${W}x${H} gradient:'#BFE8FF-#1F6FB2' -fill none -stroke '#FFFFFF70' -strokewidth 3 \
    -draw "path 'M 0,300 Q 80,280 160,300 T 320,300 T 480,300 T 640,300'" \
    -draw "path 'M 0,360 Q 80,340 160,360 T 320,360 T 480,360 T 640,360'" \
    -draw "path 'M 0,420 Q 80,400 160,420 T 320,420 T 480,420 T 640,420'" \
    -type TrueColor BMP3:"$out" ;;
landscape)
  # Sky, sun, two ranges of hills and a textured meadow, softened to look like a photograph.
  "$C" -size ${W}x${H} gradient:'#7EC0EE-#F3E7C9' \
    -fill '#FFF3C4' -draw "circle 470,120 470,84" \
    \( -size ${W}x${H} xc:none -fill '#7A9CB8' -draw "path 'M 0,260 Q 120,170 250,240 T 460,210 T 640,250 L 640,480 L 0,480 Z'" \) -composite \
    \( -size ${W}x${H} -seed 21 plasma:fractal -modulate 100,0 -blur 0x2 \
       +level-colors '#3F7A2E,#9CCB5A' \
       \( -size ${W}x${H} xc:black -fill white -draw "path 'M 0,330 Q 160,260 330,320 T 640,300 L 640,480 L 0,480 Z'" \) \
       -alpha off -compose CopyOpacity -composite \) -compose Over -composite \
    -blur 0x0.7 -attenuate 0.2 +noise Gaussian -quality 88 "$out" ;;
snow)
  flakes=$(points 140 17 2.5 | awk '{ printf "circle %d,%d %d,%.1f ", $1, $2, $1, $2 + $3 }')
  "$C" -size ${W}x${H} gradient:'#B8D4F0-#F5FAFF' -fill '#FFFFFF' \
    -draw "path 'M 0,400 Q 200,360 400,400 T 640,390 L 640,480 L 0,480 Z'" \
    \( -size ${W}x${H} xc:none -fill white -draw "$flakes" -blur 0x0.6 \) -composite "$out" ;;
chalkboard)
  "$C" -size ${W}x${H} -seed 31 plasma:fractal -modulate 100,0 -blur 0x3 \
    +level-colors '#22392A,#3A5C45' -attenuate 0.15 +noise Gaussian \
    -bordercolor '#8B5A2B' -border 14 -resize ${W}x${H}! -quality 88 "$out" ;;
rainbow)
  draw=""
  r=330
  for c in '#FF5A5F' '#FFA94D' '#FFD93C' '#6DD47E' '#4DA3FF' '#8E5BD0'; do
    draw="$draw fill $c circle 320,520 320,$((520 - r))"
    r=$((r - 26))
  done
  "$C" -size ${W}x${H} gradient:'#CFEFFF-#FFFFFF' -draw "$draw fill #E6F6FF circle 320,520 320,$((520 - r))" \
    -blur 0x1 "$out" ;;
*)
  echo "make-background.sh: unknown background $name" >&2
  exit 2 ;;
esac
# Pictures are stored with 8 bits a channel: the smaller files decode everywhere.
case "$out" in
*.png) "$C" "$out" -depth 8 "$out" ;;
esac

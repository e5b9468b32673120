#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Lays every background, button, thumbnail and (when present) sample-gift screenshot of an
# installation folder on one contact sheet. The Flash background and button show a frame the player
# tests saved (*-frame.png) and, before those tests have run, the picker's Flash thumbnail.
# Usage: contact-sheet.sh HOME OUTPUT.png [SHOTS-FOLDER]   (screenshots: *-first.png, *-frame.png)
set -eu
home=$1
out=$2
shots=${3:-}
C=/usr/bin/convert
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/a" "$work/r" "$work/b" "$work/s"

# The screenshot SHOT.png of the player tests, or nothing.
shot() {
  [ -n "$shots" ] && [ -d "$shots" ] || return 0
  find "$shots" -name "$1" | sort | head -n 1
}
# Copies FILE as NAME into a row's folder; NAME (its label) keeps the file's own kind readable and
# the copy is a PNG, so a movie's frame can stand for the movie.
add() { # ROW FILE NAME
  "$C" "$2[0]" "PNG32:$work/$1/$3.png"
}

for f in "$home"/Resource/*.gif; do
  [ -f "$f" ] && add r "$f" "$(basename "$f")"
done
# Every picture of a resource folder; a Flash file shows its frame from the player tests, or the
# thumbnail the picker uses for it.
add_folder() { # ROW FOLDER FLASH-THUMBNAIL
  for f in "$home/$2"/*; do
    [ -f "$f" ] || continue
    name=$(basename "$f")
    case "$name" in
    *.dbl) continue ;;
    *.swf)
      frame=$(shot "${name%.swf}-frame.png")
      add "$1" "${frame:-$home/Resource/$3}" "$name" ;;
    *) add "$1" "$f" "$name" ;;
    esac
  done
}
add_folder a Background flash.gif
add_folder b Button flash_btn.gif
if [ -n "$shots" ] && [ -d "$shots" ]; then
  find "$shots" -name '*-first.png' | sort | while read -r f; do
    name=$(basename "$f" -first.png)
    add s "$f" "$name.swf"
  done
fi

# Labels are the names without the ".png" of the copies.
row() { # OUTPUT MONTAGE-OPTIONS-AND-FILES...
  output=$1
  shift
  montage -label '%t' -font DejaVu-Sans -pointsize 11 "$@" "$output"
}
row "$work/top.png" -tile 6x -geometry 200x150+4+4 "$work"/a/*.png "$work"/r/*.png
row "$work/bottom.png" -background '#DDDDDD' -tile 6x -geometry 100x40+14+6 "$work"/b/*.png
set -- "$work/top.png" "$work/bottom.png"
if ls "$work"/s/*.png > /dev/null 2>&1; then
  row "$work/shots.png" -tile 5x -geometry 256x192+4+4 "$work"/s/*.png
  set -- "$@" "$work/shots.png"
fi
"$C" "$@" -gravity center -background white -append +repage "$out"

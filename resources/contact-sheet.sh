#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Lays every background, button, thumbnail and (when present) sample-gift screenshot of an
# installation folder on one contact sheet.
# Usage: contact-sheet.sh HOME OUTPUT.png [SHOTS-FOLDER]   (first-card screenshots: *-first.png)
set -eu
home=$1
out=$2
shots=${3:-}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
if [ -n "$shots" ] && [ -d "$shots" ]; then
  find "$shots" -name '*-first.png' | sort | while read -r f; do cp "$f" "$work/s-$(basename "$f")"; done
fi
for f in "$home"/Background/* "$home"/Resource/*.gif; do
  case "$f" in *.swf|*.dbl) continue ;; esac
  [ -f "$f" ] && cp "$f" "$work/a-$(basename "$f")"
done
for f in "$home"/Button/*; do
  case "$f" in *.swf|*.dbl) continue ;; esac
  cp "$f" "$work/b-$(basename "$f")"
done
montage -label '%f' "$work"/a-* -tile 6x -geometry 200x150+4+4 "$work/top.png"
montage -label '%f' "$work"/b-* -background '#DDDDDD' -tile 7x -geometry 100x36+6+6 "$work/bottom.png"
set -- "$work/top.png" "$work/bottom.png"
if ls "$work"/s-* > /dev/null 2>&1; then
  montage -label '%f' "$work"/s-* -tile 5x -geometry 256x192+4+4 "$work/shots.png"
  set -- "$@" "$work/shots.png"
fi
/usr/bin/convert "$@" -gravity center -background white -append "$out"

#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Lays every background, button, thumbnail and (when present) sample-gift screenshot of an
# installation folder on one contact sheet. Usage: contact-sheet.sh HOME OUTPUT.png [SCREENSHOT ...]
set -eu
home=$1
out=$2
shift 2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
for f in "$home"/Background/* "$home"/Resource/*.gif "$@"; do
  case "$f" in *.swf|*.dbl) continue ;; esac
  [ -f "$f" ] && cp "$f" "$work/a-$(basename "$f")"
done
for f in "$home"/Button/*; do
  case "$f" in *.swf|*.dbl) continue ;; esac
  cp "$f" "$work/b-$(basename "$f")"
done
montage -label '%f' "$work"/a-* -tile 6x -geometry 200x150+4+4 "$work/top.png"
montage -label '%f' "$work"/b-* -background '#DDDDDD' -tile 7x -geometry 100x36+6+6 "$work/bottom.png"
/usr/bin/convert "$work/top.png" "$work/bottom.png" -gravity center -background white -append "$out"

#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Synthesises a note sequence into an MP3 with sox and lame.
# Usage: make-music.sh IN.notes OUT.mp3
# The notes file: "tempo BPM", "voice SOX-SYNTH-TYPE" (sine, pluck, triangle, ...) and then one note
# a line, "NAME BEATS" (NAME like C4, F#5, or R for a rest); "#" starts a comment.
set -eu
in=$1
out=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
tempo=120
voice=pluck
i=0
list=""
while read -r name beats rest; do
  case "$name" in
  ''|'#'*) continue ;;
  tempo) tempo=$beats; continue ;;
  voice) voice=$beats; continue ;;
  esac
  seconds=$(awk -v b="$beats" -v t="$tempo" 'BEGIN { printf "%.3f", b * 60 / t }')
  i=$((i + 1))
  file=$(printf '%s/%04d.wav' "$work" "$i")
  if [ "$name" = R ]; then
    sox -n -r 44100 -c 1 "$file" trim 0 "$seconds"
  else
    # A short attack and a longer release keep the notes from clicking.
    sox -n -r 44100 -c 1 "$file" synth "$seconds" "$voice" "$name" fade t 0.01 "$seconds" 0.08 gain -8
  fi
  list="$list $file"
done < "$in"
# A second of silence at the end lets the reverb ring out.
sox -n -r 44100 -c 1 "$work/tail.wav" trim 0 1.2
# shellcheck disable=SC2086
sox $list "$work/tail.wav" "$work/tune.wav"
sox "$work/tune.wav" -c 2 "$work/final.wav" reverb 40 50 60 fade t 0.05 -0 1.0 norm -2
lame --quiet -b 96 "$work/final.wav" "$out"

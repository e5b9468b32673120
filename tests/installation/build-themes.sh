#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds every Themes project of an installation folder into a gift, and fails on any error or
# notice the build reports: a sample project must not point at a missing picture, sound or font.
# The builds run against a scratch folder that links the installation's data folders and has its
# own Temp, so the prepared pictures never collide with other builds using the installation.
# Usage: build-themes.sh HOME CLI
set -u
home=$1
cli=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/home" "$work/home/Temp" "$work/out"
for entry in "$home"/*; do
  name=$(basename "$entry")
  [ "$name" = Temp ] || ln -s "$(realpath "$entry")" "$work/home/$name"
done

failures=0
builds=0
for project in "$home"/Themes/*.mlp; do
  [ -f "$project" ] || continue
  builds=$((builds + 1))
  name=$(basename "$project" .mlp)
  # The generator quietly leaves out a picture it cannot find: check the project's file names first.
  "$cli" show "$project" > "$work/project.json" 2>&1 || {
    echo "FAIL: $name.mlp does not load"
    failures=$((failures + 1))
    continue
  }
  grep -o '"[A-Za-z]*\\\\[^"]*"' "$work/project.json" | tr -d '"' | sed 's/\\\\/\//g' > "$work/files.txt"
  missing=0
  while read -r file; do
    [ -f "$home/$file" ] || { echo "FAIL: $name.mlp names $file, which is not in the installation"; missing=1; }
  done < "$work/files.txt"
  failures=$((failures + missing))
  out=$work/out/$name.swf
  env -u MARROWLARK_HOME "$cli" build "$project" "$out" --home "$work/home" 2> "$work/err.txt"
  status=$?
  if [ "$status" -ne 0 ] || grep -Eq '^(error|notice):' "$work/err.txt"; then
    echo "FAIL: $name.mlp (exit status $status):"
    cat "$work/err.txt"
    failures=$((failures + 1))
  elif [ ! -s "$out" ]; then
    echo "FAIL: $name.mlp wrote no movie"
    failures=$((failures + 1))
  fi
done
if [ "$builds" -eq 0 ]; then
  echo "FAIL: no Themes projects in $home"
  exit 1
fi
echo "$((builds - failures)) of $builds projects built cleanly"
[ "$failures" -eq 0 ]

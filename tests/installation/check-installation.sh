#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Checks the installation folder the build laid out: what each folder holds, how many, the
# pictures' sizes, the thumbnails' exact sizes, and that every sample project loads.
# Usage: check-installation.sh HOME CLI [PROJECT.mlp ...]   (IDENTIFY names ImageMagick's identify)
set -u
home=$1
cli=$2
shift 2
identify=${IDENTIFY:-/usr/bin/identify}
failures=0
checks=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
check() { checks=$((checks + 1)); }

count() { # FOLDER PATTERN... : number of files matching any pattern, as the picker lists them
  folder=$1
  shift
  n=0
  for pattern in "$@"; do
    for f in "$home/$folder"/$pattern; do
      case "$f" in *.dbl.png) continue ;; esac # a DBL picture's thumbnail, not a picture of its own
      [ -f "$f" ] && n=$((n + 1))
    done
  done
  echo "$n"
}
at_least() { # WHAT MIN ACTUAL
  check
  [ "$3" -ge "$2" ] || fail "$1: $3 found, at least $2 expected"
}
exists() {
  check
  [ -f "$home/$1" ] || fail "$1 is missing"
}

# Every theme and sample project loads (first: the size checks below reuse the arguments).
for project in "$home"/Themes/*.mlp "$@"; do
  check
  "$cli" show "$project" > /dev/null || fail "$project does not load"
done

for face in Sans _Sans Serif _Serif Mono _Mono; do exists "Font/$face.fdb"; done

at_least "Background pictures" 16 "$(count Background '*.jpg' '*.png' '*.gif' '*.bmp')"
for kind in jpg png gif bmp swf dbl; do at_least "Background *.$kind" 1 "$(count Background "*.$kind")"; done
at_least "Button pictures" 10 "$(count Button '*.jpg' '*.png' '*.gif' '*.bmp')"
at_least "Button *.swf" 1 "$(count Button '*.swf')"
at_least "Button *.dbl" 1 "$(count Button '*.dbl')"
at_least "Music *.mp3" 5 "$(count Music '*.mp3')"
at_least "Music *.swf" 1 "$(count Music '*.swf')"
at_least "Themes *.mlp" 6 "$(count Themes '*.mlp')"

for f in "$home"/Background/* "$home"/Button/*; do
  case "$f" in *.swf|*.dbl) continue ;; esac
  check
  size=$("$identify" -format '%w %h' "$f[0]" 2>/dev/null) || { fail "$f does not decode"; continue; }
  set -- $size
  case "$f" in
  */Background/*) [ "$1" -ge 640 ] && [ "$2" -ge 480 ] || fail "$f is $1x$2, smaller than 640x480" ;;
  */Button/*) [ "$1" -ge 60 ] && [ "$1" -le 120 ] && [ "$2" -ge 24 ] && [ "$2" -le 48 ] || fail "$f is $1x$2" ;;
  esac
done
for f in "$home"/Background/*.dbl "$home"/Button/*.dbl; do
  check
  [ -f "$f.png" ] || fail "$f has no .dbl.png companion"
done

thumb() { # FILE WIDTH HEIGHT
  check
  size=$("$identify" -format '%w %h %m' "$home/$1" 2>/dev/null) || { fail "$1 is missing or does not decode"; return; }
  [ "$size" = "$2 $3 GIF" ] || fail "$1 is '$size', expected '$2 $3 GIF'"
}
thumb Resource/flash.gif 120 100
thumb Resource/flash_btn.gif 120 60
thumb Resource/dbl.gif 120 100
exists Resource/soundstop.swf
exists Resource/guide.swf
exists MLPHelp.swf
for gift in workout loveletter password fun animate MensaTest kidsitesample; do exists "Samples/$gift.swf"; done

check
[ -d "$home/Temp" ] || fail "Temp folder is missing"
check
[ ! -e "$home/config.ini" ] || fail "config.ini must not be shipped"


echo "$((checks - failures)) passed, $failures failed"
[ "$failures" -eq 0 ]

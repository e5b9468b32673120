#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs the build's install step into a scratch folder and checks the portable installation it lays
# out: the programs beside the data folders and nothing else, an empty Temp, no config.ini, and an
# installed marrowlark-cli that builds a sample project from the installed folder alone.
# Usage: check-install-step.sh CMAKE BUILD-DIR PROGRAM...
set -u
cmake=$1
build=$2
shift 2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/Marrowlark
failures=0
checks=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
check() { checks=$((checks + 1)); }

"$cmake" --install "$build" --prefix "$prefix" > "$work/install.log" 2>&1 || {
  cat "$work/install.log"
  echo "FAIL: cmake --install $build failed"
  exit 1
}

# The top level holds the programs, the help movie and the data folders, and nothing else.
expected="Background Button Font Music Resource Samples Skin Temp Themes MLPHelp.swf Tips.txt $*"
for program in "$@"; do
  check
  [ -f "$prefix/$program" ] && [ -x "$prefix/$program" ] || fail "program $program is not installed"
done
for entry in "$prefix"/* "$prefix"/.[!.]*; do
  [ -e "$entry" ] || continue
  name=$(basename "$entry")
  check
  case " $expected " in
  *" $name "*) ;;
  *) fail "unexpected $name in the installation folder" ;;
  esac
done

for folder in Background Button Font Music Resource Samples Skin Themes; do
  check
  if [ ! -d "$prefix/$folder" ]; then
    fail "$folder folder is missing"
  elif [ -z "$(ls -A "$prefix/$folder")" ]; then
    fail "$folder folder is empty"
  fi
done
for file in MLPHelp.swf Tips.txt Skin/heartwood.skn Skin/vwinaqua.skn Font/Sans.fdb Resource/guide.swf Resource/soundstop.swf Resource/flash.gif \
  Samples/workout.swf; do
  check
  [ -s "$prefix/$file" ] || fail "$file is missing or empty"
done
# Ruffle ships with the Qt programs; a build without them (the sanitiser build) has none.
if [ "${MARROWLARK_CHECK_PLAYER:-0}" = 1 ]; then
  for file in Resource/ruffle/ruffle.js Resource/ruffle/player.html; do
    check
    [ -s "$prefix/$file" ] || fail "$file is missing or empty"
  done
  check
  [ -n "$(ls "$prefix"/Resource/ruffle/*.wasm 2> /dev/null)" ] || fail "Resource/ruffle has no player module"
fi
check
if [ ! -d "$prefix/Temp" ]; then
  fail "Temp folder is missing"
elif [ -n "$(ls -A "$prefix/Temp")" ]; then
  fail "Temp is not empty: $(ls -A "$prefix/Temp" | tr '\n' ' ')"
fi
check
[ ! -e "$prefix/config.ini" ] || fail "config.ini must not be shipped"

# The installed command line program builds a sample project from the installed data: once named
# with --home, once finding the folder from its own path.
project=$(ls "$prefix"/Themes/*.mlp 2> /dev/null | head -n 1)
check
if [ ! -x "$prefix/marrowlark-cli" ]; then
  fail "no installed marrowlark-cli to build with"
elif [ -z "$project" ]; then
  fail "no Themes project to build"
else
  for how in home own-path; do
    check
    out=$work/$how.swf
    if [ "$how" = home ]; then
      env -u MARROWLARK_HOME "$prefix/marrowlark-cli" build "$project" "$out" --home "$prefix" 2> "$work/err.txt"
    else
      env -u MARROWLARK_HOME "$prefix/marrowlark-cli" build "$project" "$out" 2> "$work/err.txt"
    fi
    status=$?
    if [ "$status" -ne 0 ] || grep -q '^error:' "$work/err.txt"; then
      fail "building $(basename "$project") ($how) exited with $status:"
      cat "$work/err.txt"
    elif [ "$(head -c 3 "$out" 2> /dev/null)" != CWS ] && [ "$(head -c 3 "$out" 2> /dev/null)" != FWS ]; then
      fail "building $(basename "$project") ($how) wrote no movie"
    fi
  done
fi

echo "$((checks - failures)) passed, $failures failed"
[ "$failures" -eq 0 ]

#!/usr/bin/env bash
# Drives the real program window on a virtual X screen with a window manager, the way a user
# would (keys and clicks through xdotool), and saves a screenshot of each state: start, browsing
# a folder and a file, a search with results, the details of a result, a result's context menu and
# properties, the bookmarks menu, a bad regular expression.
# Runs for the window sizes 1200x600 and 1600x1000, in the light and in the dark look.
#
#   bench/screenshots.sh [program] [output folder]
#
# program defaults to build/asan/zemfinder (else build/release/zemfinder); the PNGs go to
# bench/out/screenshots/<look>-<size>-<step>.png. Every run uses throw-away home folders and a
# generated sample tree, never the user's own configuration.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
self="$here/bench/screenshots.sh"
if [[ "${1:-}" == --drive ]]; then
  mode=drive
  shift
else
  mode=main
fi
bin="${ZEM_SHOT_BIN:-${1:-}}"
[[ $mode == drive ]] && bin="$ZEM_SHOT_BIN"
if [[ -z "$bin" ]]; then
  for candidate in "$here/build/asan/zemfinder" "$here/build/release/zemfinder"; do
    [[ -x "$candidate" ]] && { bin="$candidate"; break; }
  done
fi
[[ -x "$bin" ]] || { echo "no program found; build it first or name it: $0 <program>" >&2; exit 1; }
out="${ZEM_SHOT_OUT:-${2:-$here/bench/out/screenshots}}"
mkdir -p "$out"

# One X session: start the program, walk through the steps, save a screenshot after each.
drive() {
  local look=$1 w=$2 h=$3 prefix=$4
  local corpus="$ZEM_SHOT_CORPUS" work="$ZEM_SHOT_WORK"
  local home="$work/home-$look-${w}x$h"
  mkdir -p "$home/config/zemfinder" "$home/cache" "$home/data" "$home/runtime"
  chmod 700 "$home/runtime"
  local dark=false
  [[ $look == dark ]] && dark=true
  cat >"$home/config/zemfinder/zemfinder-config.xml" <<XML
<?xml version="1.0" encoding="UTF-8"?>
<node name="root">
 <a key="flagDarkTheme" type="bool">$dark</a>
 <a key="flagSeeIniMessage" type="bool">false</a>
</node>
XML
  export HOME="$home" XDG_CONFIG_HOME="$home/config" XDG_CACHE_HOME="$home/cache" \
    XDG_DATA_HOME="$home/data" XDG_RUNTIME_DIR="$home/runtime"
  export ASAN_OPTIONS="detect_leaks=0" QT_QPA_PLATFORM=xcb
  openbox >/dev/null 2>&1 &
  local wm=$!
  sleep 1
  "$bin" --file "$corpus" >"$work/$prefix.log" 2>&1 &
  local pid=$!
  local win=""
  for _ in $(seq 1 100); do
    win="$(xdotool search --onlyvisible --pid "$pid" 2>/dev/null | head -1 || true)"
    [[ -n "$win" ]] && break
    sleep 0.2
  done
  if [[ -z "$win" ]]; then
    echo "the window did not appear; log: $work/$prefix.log" >&2
    cat "$work/$prefix.log" >&2
    kill "$pid" "$wm" 2>/dev/null || true
    return 1
  fi
  xdotool windowmove "$win" 0 0 windowsize "$win" "$w" "$h"
  xdotool windowactivate --sync "$win" 2>/dev/null || xdotool windowfocus "$win"
  sleep 1.5
  shot() { sleep "${2:-1}"; import -window root "$out/$prefix-$1.png"; }
  shot 1-start

  # Browse: a folder, then a text file, typed into the path field as a user would.
  go_to() {
    xdotool mousemove --window "$win" $((w / 2)) 17 click 1
    sleep 0.3
    xdotool key --window "$win" ctrl+a
    xdotool type --window "$win" --delay 15 "$1"
    xdotool key --window "$win" Return
  }
  go_to "$corpus/src"
  shot 2-browse-folder 1.5
  go_to "$corpus/src/file3.cpp"
  shot 3-browse-file 1.5
  # Into the text, then to its end: the line information follows.
  xdotool mousemove --window "$win" $((w * 3 / 4)) $((h / 2)) click 1
  xdotool key --window "$win" ctrl+End
  shot 3-browse-file-end 1
  go_to "$corpus/docs/blob.bin"
  shot 3-browse-binary 1.5
  go_to "$corpus"
  sleep 1

  # Search: the content filter on (its box takes the focus), a word, Return.
  xdotool key --window "$win" alt+c
  shot 4-find-panel 1
  xdotool type --window "$win" --delay 40 "needle"
  xdotool key --window "$win" Return
  shot 5-search-results 3

  # The details of a result: a double click on the first row (a window of its own where the
  # program offers one).
  xdotool mousemove --window "$win" $((w * 45 / 100)) 62 click --repeat 2 --delay 60 1
  sleep 2
  local details
  details="$(xdotool search --onlyvisible --pid "$pid" 2>/dev/null | grep -v "^$win$" | head -1 || true)"
  shot 6-details 0.5
  if [[ -n "$details" ]]; then
    xdotool windowclose "$details" 2>/dev/null || xdotool windowkill "$details" 2>/dev/null || true
    sleep 0.5
  fi

  # A result's context menu, then its last entry ("Properties"); the bookmarks menu (Alt+B).
  xdotool windowactivate --sync "$win" 2>/dev/null || true
  xdotool mousemove --window "$win" $((w * 45 / 100)) 62 click 3
  shot 6b-results-menu 1
  xdotool key Up Return
  sleep 2
  local props
  props="$(xdotool search --onlyvisible --pid "$pid" 2>/dev/null | grep -v "^$win$" | head -1 || true)"
  shot 6c-properties 1
  if [[ -n "$props" ]]; then
    xdotool windowclose "$props" 2>/dev/null || xdotool windowkill "$props" 2>/dev/null || true
    sleep 0.5
  fi
  xdotool windowactivate --sync "$win" 2>/dev/null || true
  xdotool key --window "$win" alt+b
  shot 6d-bookmarks-menu 1
  xdotool key Escape
  sleep 0.3

  # A bad regular expression: back to the find panel, an unclosed group, the regex switch on
  # (the button right of the content box), Return.
  xdotool windowactivate --sync "$win" 2>/dev/null || true
  xdotool key --window "$win" Escape Escape
  sleep 0.5
  xdotool key --window "$win" alt+c
  sleep 0.3
  xdotool key --window "$win" alt+c
  sleep 0.3
  xdotool key --window "$win" ctrl+a
  xdotool type --window "$win" --delay 40 "(needle["
  xdotool mousemove --window "$win" $((w - 401)) $((h - 47)) click 1
  shot 7-regex-on 0.5
  xdotool key --window "$win" Return
  shot 8-bad-regex 0.2
  shot 8-bad-regex-later 1.5

  xdotool key --window "$win" ctrl+q
  for _ in $(seq 1 25); do kill -0 "$pid" 2>/dev/null || break; sleep 0.2; done
  kill "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  kill "$wm" 2>/dev/null || true
}
if [[ $mode == drive ]]; then
  drive "$@"
  exit
fi

# The tools this script needs for itself (not the program's dependencies).
missing=()
for tool in xvfb-run:xvfb openbox:openbox xdotool:xdotool import:imagemagick; do
  command -v "${tool%%:*}" >/dev/null || missing+=("${tool#*:}")
done
if ((${#missing[@]})); then
  sudo=""; [[ $(id -u) -ne 0 ]] && sudo="sudo"
  $sudo apt-get install -y --no-install-recommends "${missing[@]}" >/dev/null
fi

work="$(mktemp -d)"
samples="$(mktemp -d)"
trap 'rm -rf "$work" "$samples"' EXIT

# A sample tree: text files with hits, a hidden file and folder, a binary, an empty folder.
corpus="$samples/sample"
mkdir -p "$corpus/src/lib" "$corpus/docs" "$corpus/.cache" "$corpus/empty"
for i in $(seq 1 12); do
  {
    echo "// sample source $i"
    echo "#include \"header$i.h\""
    for j in $(seq 1 $((i * 20))); do
      echo "int value_$j = $j; // a needle in line $j of file $i"
      [[ $((j % 7)) -eq 0 ]] && echo "static const char* text$j = \"plain words without the search term\";"
    done
  } >"$corpus/src/file$i.cpp"
done
for i in 1 2 3; do
  seq 1 400 | sed "s/^/line of notes with a needle, number /" >"$corpus/docs/notes$i.txt"
done
printf 'the hidden needle\n' >"$corpus/.hidden.txt"
head -c 5000 /dev/urandom >"$corpus/docs/blob.bin"
cp "$here/res/desktop/zemfinder.svg" "$corpus/docs/logo.svg" 2>/dev/null || true

export ZEM_SHOT_BIN="$bin" ZEM_SHOT_OUT="$out" ZEM_SHOT_CORPUS="$corpus" ZEM_SHOT_WORK="$work"

for look in ${ZEM_SHOT_LOOKS:-light dark}; do
  for size in ${ZEM_SHOT_SIZES:-1200x600 1600x1000}; do
    w=${size%x*}
    h=${size#*x}
    # The screen leaves room for the window manager's frame around the window.
    xvfb-run -a -s "-screen 0 $((w + 40))x$((h + 60))x24" "$self" --drive "$look" "$w" "$h" "$look-$size"
    echo "$look $size: $(ls "$out"/$look-$size-*.png | wc -l) screenshots"
  done
done
echo "screenshots in $out"

#!/usr/bin/env bash
# Drives the real program on a virtual X screen (xvfb-run, openbox, xdotool) through the
# thumbnail wall and the file dialog with preview, and saves a screenshot of each state:
# a folder of pictures as thumbnails, bigger and smaller tiles, the context menu of a tile, and
# the file dialog previewing a text file, a picture and a folder. Light and dark look.
#
#   bench/thumbs_screenshots.sh [program] [output folder]
#
# program defaults to build/asan/zemfinder; the PNGs go to bench/out/screenshots/thumbs-<look>-<step>.png.
# Every run uses throw-away home folders and generated pictures, never the user's own files.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
self="$here/bench/thumbs_screenshots.sh"
if [[ "${1:-}" == --drive ]]; then
  shift
  look=$1
  bin="$ZEM_SHOT_BIN" out="$ZEM_SHOT_OUT" corpus="$ZEM_SHOT_CORPUS" work="$ZEM_SHOT_WORK"
  w=1200 h=700
  home="$work/home-$look"
  mkdir -p "$home/config/zemfinder" "$home/cache" "$home/data" "$home/runtime"
  chmod 700 "$home/runtime"
  dark=false
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
  wm=$!
  sleep 1
  shot() { sleep "${2:-1}"; import -window root "$out/thumbs-$look-$1.png"; }
  window_of() {
    local pid=$1 win=""
    for _ in $(seq 1 150); do
      win="$(xdotool search --onlyvisible --pid "$pid" 2>/dev/null | head -1 || true)"
      [[ -n "$win" ]] && break
      sleep 0.2
    done
    echo "$win"
  }

  "$bin" --file "$corpus/pictures" >"$work/$look-app.log" 2>&1 &
  pid=$!
  win="$(window_of "$pid")"
  [[ -n "$win" ]] || { cat "$work/$look-app.log" >&2; kill "$pid" "$wm" 2>/dev/null; exit 1; }
  xdotool windowmove "$win" 0 0 windowsize "$win" "$w" "$h"
  xdotool windowactivate --sync "$win" 2>/dev/null || xdotool windowfocus "$win"
  sleep 2
  xdotool key --window "$win" ctrl+1
  shot 1-thumbs 3
  # Bigger twice (the rightmost button of the navigation bar), then Smaller three times.
  xdotool mousemove --window "$win" $((w - 16)) 17 click 1
  sleep 1
  xdotool mousemove --window "$win" $((w - 16)) 17 click 1
  shot 2-bigger 3
  for _ in 1 2 3; do
    xdotool mousemove --window "$win" $((w - 40)) 17 click 1
    sleep 1
  done
  shot 3-smaller 3
  # A click on the second tile, then a right click on it.
  xdotool mousemove --window "$win" 420 80 click 1
  shot 4-selected 1
  xdotool mousemove --window "$win" 420 80 click 3
  shot 5-context-menu 1
  xdotool key --window "$win" Escape
  xdotool key --window "$win" ctrl+q
  for _ in $(seq 1 25); do kill -0 "$pid" 2>/dev/null || break; sleep 0.2; done
  kill "$pid" 2>/dev/null || true

  # The file dialog with preview, started in the sample folder; names typed into its name field
  # select the entry, which the preview shows.
  "$bin" dia.selFile --file "$corpus/pictures" >"$work/$look-dia.log" 2>&1 &
  pid=$!
  win="$(window_of "$pid")"
  [[ -n "$win" ]] || { cat "$work/$look-dia.log" >&2; kill "$pid" "$wm" 2>/dev/null; exit 1; }
  xdotool windowmove "$win" 0 0
  xdotool windowactivate --sync "$win" 2>/dev/null || xdotool windowfocus "$win"
  sleep 2
  pick() {
    xdotool key --window "$win" ctrl+a
    xdotool type --window "$win" --delay 30 "$1"
  }
  pick notes.txt
  shot 6-dialog-text 2
  pick pic02.jpg
  shot 7-dialog-picture 2
  pick subfolder
  shot 8-dialog-folder 2
  xdotool key --window "$win" Escape
  for _ in $(seq 1 25); do kill -0 "$pid" 2>/dev/null || break; sleep 0.2; done
  kill "$pid" 2>/dev/null || true
  kill "$wm" 2>/dev/null || true
  exit 0
fi

bin="${1:-$here/build/asan/zemfinder}"
[[ -x "$bin" ]] || { echo "no program found; build it first or name it: $0 <program>" >&2; exit 1; }
out="${2:-$here/bench/out/screenshots}"
mkdir -p "$out"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

# Sample pictures of several sizes and shapes, a text file, a folder with a picture inside.
corpus="$work/sample"
mkdir -p "$corpus/pictures/subfolder"
colours=(red orange gold green teal blue purple magenta brown gray)
for i in $(seq 0 23); do
  c1=${colours[$((i % 10))]} c2=${colours[$(((i + 3) % 10))]}
  size=$((300 + i * 40))x$((200 + (i % 5) * 90))
  ext=jpg
  ((i % 4 == 3)) && ext=png
  convert -size "$size" "gradient:$c1-$c2" -fill white -draw "circle 100,100 140,140" \
    "$corpus/pictures/pic$(printf %02d "$i").$ext"
done
seq 1 200 | sed 's/^/a line of notes, number /' >"$corpus/pictures/notes.txt"
cp "$corpus/pictures/pic01.jpg" "$corpus/pictures/subfolder/inside.jpg"
mkdir -p "$corpus/pictures/another folder"

export ZEM_SHOT_BIN="$bin" ZEM_SHOT_OUT="$out" ZEM_SHOT_CORPUS="$corpus" ZEM_SHOT_WORK="$work"
for look in ${ZEM_SHOT_LOOKS:-light dark}; do
  xvfb-run -a -s "-screen 0 1260x780x24" "$self" --drive "$look"
done
echo "screenshots in $out"

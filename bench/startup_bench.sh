#!/usr/bin/env bash
# Times the start of the finder: from process start to the main window's first-shown event.
#
#   bench/startup_bench.sh [binary]      default: builds and uses build/release/zemfinder
#
# Environment: ZEM_BENCH_RUNS (default 10) timed starts after one warm-up start.
#
# Each start runs with a private home (so the real configuration is never touched) on a virtual
# X display (xvfb-run; with QT_QPA_PLATFORM=offscreen set, on Qt's offscreen platform instead).
# Two figures per start:
#   wall:  from just before exec to the moment the first-shown log line appears (polled every
#          millisecond or so, so it includes up to a poll's worth of delay);
#   inner: the "mc:" seconds the window logs itself, measured from the program's static
#          initialisation (it misses exec and the dynamic loader).
# The medians of both are printed; the target is wall <= 400 ms.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "$here/.." && pwd)"
runs="${ZEM_BENCH_RUNS:-10}"

if [[ -z "${ZEM_STARTUP_BENCH_INNER:-}" ]]; then
  bin="${1:-}"
  if [[ -z "$bin" ]]; then
    cmake -S "$root" -B "$root/build/release" -DCMAKE_BUILD_TYPE=Release -DZEM_TESTS=OFF >/dev/null
    cmake --build "$root/build/release" --target zemfinder -j"$(nproc)" >/dev/null
    bin="$root/build/release/zemfinder"
  fi
  export ZEM_STARTUP_BENCH_INNER=1
  if [[ "${QT_QPA_PLATFORM:-}" == "offscreen" ]]; then
    exec "$0" "$bin"
  fi
  exec xvfb-run -a -s "-screen 0 1600x900x24" "$0" "$bin"
fi

bin="$1"
home="$(mktemp -d)"
trap 'rm -rf "$home"' EXIT
export HOME="$home" XDG_CONFIG_HOME="$home/config" XDG_CACHE_HOME="$home/cache" XDG_DATA_HOME="$home/data"
export XDG_RUNTIME_DIR="$home/runtime"
mkdir -p "$XDG_CONFIG_HOME" "$XDG_CACHE_HOME" "$XDG_DATA_HOME" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
mkdir -p "$home/start/folder"
# A configuration past the first-run message, whose modal dialog would hold the start.
mkdir -p "$XDG_CONFIG_HOME/zemfinder"
cat >"$XDG_CONFIG_HOME/zemfinder/zemfinder-config.xml" <<'XML'
<?xml version="1.0" encoding="UTF-8"?>
<node name="root"><a key="flagSeeIniMessage" type="bool">false</a></node>
XML

# One start: prints "wall_ms inner_ms".
one_start() {
  local log="$home/run.log"
  : >"$log"
  local t0 t1 pid
  t0=$(date +%s%N)
  "$bin" --file "$home/start/folder" 2>"$log" >/dev/null &
  pid=$!
  until grep -q "setup_window_appear_first_time" "$log"; do
    if ! kill -0 "$pid" 2>/dev/null; then
      echo "zemfinder ended before its window appeared:" >&2
      cat "$log" >&2
      exit 1
    fi
    sleep 0.001
  done
  t1=$(date +%s%N)
  kill -TERM "$pid"
  wait "$pid" || true
  local inner
  inner=$(grep -o "setup_window_appear_first_time, mc:[0-9.e+-]*" "$log" | head -1 | sed 's/.*mc://')
  awk -v w="$(( (t1 - t0) / 1000 ))" -v i="$inner" 'BEGIN { printf "%.1f %.1f\n", w / 1000.0, i * 1000.0 }'
}

median() { sort -n | awk '{ a[NR] = $1 } END { if (NR % 2) print a[(NR + 1) / 2]; else printf "%.1f\n", (a[NR / 2] + a[NR / 2 + 1]) / 2 }'; }

one_start >/dev/null   # warm-up: page cache, font cache, first configuration file
results=()
for ((i = 1; i <= runs; i++)); do
  r=$(one_start)
  results+=("$r")
  echo "start $i: wall ${r% *} ms, inner ${r#* } ms"
done
wall=$(printf '%s\n' "${results[@]}" | awk '{ print $1 }' | median)
inner=$(printf '%s\n' "${results[@]}" | awk '{ print $2 }' | median)
echo "median of $runs warm starts: wall $wall ms (target <= 400 ms), inner $inner ms"

#!/usr/bin/env bash
# Installs what is missing, builds Zem Finder in Release and starts it with the given arguments.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
"$here/scripts/install-deps.sh" >&2
build="$here/build/release"
cmake -S "$here" -B "$build" -DCMAKE_BUILD_TYPE=Release -DZEM_TESTS=OFF >&2
cmake --build "$build" --target zemfinder -j"$(nproc)" >&2
if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" && "${QT_QPA_PLATFORM:-}" != offscreen && "${1:-}" != search ]]; then
  echo "No display found: run it under a virtual one with  xvfb-run -a $0 $*" >&2
  exit 1
fi
exec "$build/zemfinder" "$@"

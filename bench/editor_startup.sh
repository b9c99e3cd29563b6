#!/usr/bin/env bash
# Starts the editor ten times on the offscreen platform and prints each run's time from process
# start to the first painted picture and its peak memory. Usage: bench/editor_startup.sh [build]
set -euo pipefail
build=${1:-build}
cmake --build "$build" --target EditorStartup >/dev/null
for _ in $(seq 10); do
  QT_QPA_PLATFORM=offscreen "$build/bin/EditorStartup" 2>/dev/null
done

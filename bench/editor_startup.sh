#!/usr/bin/env bash
# Starts the editor on the offscreen platform, in turn with a bare Qt main window holding a tab
# widget (the yardstick, measured in the same rounds), and prints the median time from process
# start to the first painted picture, its ratio to the yardstick, and the peak memory. The editor
# starts with a new ZQ-2200 project, then with the largest project of each family.
# Usage: bench/editor_startup.sh [build] [rounds]
set -euo pipefail
build=${1:-build}
rounds=${2:-15}
cmake --build "$build" --target EditorStartup >/dev/null
program="$build/bin/EditorStartup"
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
export QT_QPA_PLATFORM=offscreen XDG_RUNTIME_DIR="$folder" LC_ALL=C
"$program" --write-full 1 "$folder/zq3300-double.zqp"
"$program" --write-full 4 "$folder/zq2200-three.zqp"
"$program" --write-full 10 "$folder/zq1100-double.txt"

names=("bare main window" "new ZQ-2200" "ZQ-3300 double, full" "ZQ-2200 three layouts, full" "ZQ-1100 v2 double, full")
options=("--minimal" "" "--open $folder/zq3300-double.zqp" "--open $folder/zq2200-three.zqp"
  "--open $folder/zq1100-double.txt")
# "first paint N ms after process start, peak memory M MB", one line a run, in rounds so that the
# machine's load weighs on all alike.
for _ in $(seq "$rounds"); do
  for i in "${!options[@]}"; do
    # shellcheck disable=SC2086
    ZQ_LAUNCHED_AT=$EPOCHREALTIME "$program" ${options[$i]} 2>/dev/null | sed "s/^/$i /" >>"$folder/runs"
  done
done
median() { sort -n | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
yardstick=$(awk '$1 == 0 { print $4 }' "$folder/runs" | median)
for i in "${!names[@]}"; do
  time=$(awk -v i="$i" '$1 == i { print $4 }' "$folder/runs" | median)
  memory=$(awk -v i="$i" '$1 == i && $11 > m { m = $11 } END { print m }' "$folder/runs")
  ratio=$(awk -v a="$time" -v b="$yardstick" 'BEGIN { printf "%.2f", a / b }')
  echo "${names[$i]}: median $time ms, ${ratio}x the bare window, peak $memory MB"
done

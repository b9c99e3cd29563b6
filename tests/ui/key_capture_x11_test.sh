#!/usr/bin/env bash
# Key capture under a real X server with real key events (XTEST): Alt+Tab and the Windows key
# pressed into a key, a held Enter ending the capture at Apply, Enter applying, Ctrl+S saving.
set -euo pipefail
program=$1
zqtool=$2
. "$(dirname "$0")/editor_test_env.sh"
project=$work/shop.zqp
"$zqtool" new 6 -o "$project"

xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  "$1" "$2" & pid=$!
  trap "kill $pid 2>/dev/null" EXIT
  window=$(timeout 20 xdotool search --sync --name "^shop.zqp .* - ZQ programmer$" | head -n 1)
  xdotool windowfocus --sync "$window"
  # The first layout tab: the picture takes the focus with key 1 selected; Enter starts capture.
  xdotool key --delay 100 ctrl+Tab Return
  xdotool key --delay 100 alt+Tab super
  # Held, Enter ends the capture with the focus on Apply; pressed again, it applies.
  xdotool keydown Return
  sleep 1.5
  xdotool keyup Return
  xdotool key --delay 100 Return ctrl+s Escape
  timeout 20 tail --pid="$pid" -f /dev/null
  trap - EXIT
' session "$program" "$project"

line=$(grep -a "^1:" "$project" | tr -d "\r")
# HID usages: Left Alt, Tab, the release of Left Alt, Left GUI, its release.
expected="1:M1,S+,K0xE2,K0x2B,K0xF2,K0xE3,K0xF3"
if [ "${line%%,N=*}" != "$expected" ]; then
  echo "FAIL: key 1 is '$line', expected '$expected'"
  exit 1
fi
echo "Alt+Tab and the Windows key captured under X11: $line"

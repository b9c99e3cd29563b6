#!/usr/bin/env bash
# zq-programmer.exe under wine on a real X server with real key events (XTEST), in the caller's wine
# prefix: the first start asks for the keyboard type and keeps the answer in wine's registry; then,
# started with a project, Alt+Tab and the Windows key are captured into key 1 through the
# low-level keyboard hook, the project is saved and programmed into a zqsim keyboard on loopback
# TCP, and zqtool reads the keyboard back. SCREENSHOT=FILE.png keeps a picture of the window.
# Usage: windows_editor_test.sh ZQ-PROGRAMMER.EXE ZQSIM ZQTOOL
set -euo pipefail
exe=$1
sim=$2
tool=$3
work=$(mktemp -d)
cleanup() {
  [ -n "${sim_pid:-}" ] && kill "$sim_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "FAIL: $*"
  exit 1
}

"$sim" --ready-file "$work/ready" --tcp 0 &
sim_pid=$!
for _ in $(seq 100); do
  [ "$(cat "$work/ready" 2>/dev/null | wc -l)" -ge 2 ] && break
  sleep 0.1
done
ZQ_SIMULATOR=$(sed -n 2p "$work/ready")
export ZQ_SIMULATOR
[ -n "$ZQ_SIMULATOR" ] || fail "zqsim did not start"
project=$work/till.zqp
"$tool" new 6 -o "$project"

# One run of the program: the steps are xdotool's, given as a shell snippet with $window set.
session() {
  # A wine server started without the display (wineboot, reg, winepath) would serve the program
  # too: its window would never show.
  wineserver -k 2>/dev/null || true
  xvfb-run -a -s "-screen 0 1280x1024x24" bash -c '
    wine "$1" $2 >/dev/null 2>&1 & pid=$!
    trap "kill $pid 2>/dev/null; wineserver -k 2>/dev/null" EXIT
    eval "$3"
    # The program ends once its window is closed; only then are the settings written.
    for _ in $(seq 120); do kill -0 $pid 2>/dev/null || break; sleep 0.5; done
    if kill -0 $pid 2>/dev/null; then echo "the program did not end after its window closed"; exit 1; fi
    wait $pid || { echo "the program ended with status $?"; exit 1; }
    timeout 60 wineserver -w
    trap - EXIT
  ' session "$exe" "$1" "$2"
}
find_window() { echo 'window=$(timeout 60 xdotool search --sync --onlyvisible --name "'"$1"'" | head -n 1); [ -n "$window" ]'; }

# First start: the type chooser, then the main window, ended by Escape.
session "" "$(find_window '^Select New Keyboard$')"'
  xdotool windowfocus --sync "$window" key --delay 200 Down Down Down Down Return
  '"$(find_window ' - ZQ programmer$')"'
  xdotool windowfocus --sync "$window" key Escape' || fail "the first start did not show the type chooser"
wine reg query 'HKCU\Software\Tavrin\zq-programmer' /s 2>/dev/null | tr -d '\r' >"$work/registry"
grep -q 'LastKeybID.*4$' "$work/registry" || fail "the chosen type is not in the registry: $(cat "$work/registry")"

# With the project: capture, save, program (Keyboard > Programming...), then end.
session "$(winepath -w "$project")" "$(find_window '^till.zqp .* - ZQ programmer$')"'
  xdotool windowfocus --sync "$window"
  xdotool key --delay 200 ctrl+Tab Return
  xdotool key --delay 200 alt+Tab super
  xdotool keydown Return; sleep 1.5; xdotool keyup Return
  xdotool key --delay 300 Return ctrl+s
  # Under wine Alt+letter opens no menu, with or without the hook: the mouse opens Keyboard.
  xdotool mousemove --window "$window" 95 10 click 1 sleep 1 key p
  # A new keyboard holds nothing to back up: the question whether to program anyway gets Yes.
  sleep 3
  xdotool key Return
  sleep 8
  [ -z "${SCREENSHOT:-}" ] || import -window "$window" "$SCREENSHOT"
  xdotool windowfocus --sync "$window" key Escape' || fail "the project session failed"

line=$(grep -a "^1:" "$project" | tr -d "\r")
# HID usages: Left Alt, Tab, the release of Left Alt, Left GUI, its release.
expected="1:M1,S+,K0xE2,K0x2B,K0xF2,K0xE3,K0xF3"
[ "${line%%,N=*}" = "$expected" ] || fail "key 1 is '$line', expected '$expected'"
"$tool" download 6 -o "$work/read.zqp" 2>/dev/null || fail "the keyboard cannot be read back"
read_line=$(grep -a "^1:" "$work/read.zqp" | tr -d "\r")
[ "${read_line%%,N=*}" = "$expected" ] || fail "the keyboard holds '$read_line' for key 1, expected '$expected'"
echo "zq-programmer.exe under wine: type chooser, registry, hook capture and programming work"

#!/usr/bin/env bash
# The editor's settings across two real runs: a first run chooses a type and ends by Escape,
# the second starts with the last used type and keeps what the first wrote.
set -euo pipefail
program=$1
. "$(dirname "$0")/editor_test_env.sh"
ini=$XDG_CONFIG_HOME/Tavrin/$(basename "$program").conf

session() {
  xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
    "$1" & pid=$!
    trap "kill $pid 2>/dev/null" EXIT
    if [ "$2" = choose ]; then
      dialog=$(timeout 20 xdotool search --sync --name "^Select New Keyboard$" | head -n 1)
      # The fifth type, then OK.
      xdotool windowfocus --sync "$dialog" key Down Down Down Down Return
    fi
    window=$(timeout 20 xdotool search --sync --name " - ZQ programmer$" | head -n 1)
    xdotool windowfocus --sync "$window" key Escape
    timeout 20 tail --pid="$pid" -f /dev/null
    trap - EXIT
  ' session "$program" "$1"
}

fail() { echo "FAIL: $*"; cat "$ini" 2>/dev/null; exit 1; }

session choose
[ -f "$ini" ] || fail "no settings file after the first run"
grep -qx 'LastKeybID=4' "$ini" || fail "the chosen type is not the last used one"
grep -qx 'FastEdit=1' "$ini" || fail "defaults were not written"

# Start with the last used type, as the menu toggle would store it.
sed -i 's/^UseLastKeyb=0$/UseLastKeyb=1/; s/^FastEdit=1$/FastEdit=0/' "$ini"
session keep
grep -qx 'UseLastKeyb=1' "$ini" || fail "UseLastKeyb did not survive"
grep -qx 'FastEdit=0' "$ini" || fail "FastEdit did not survive"
grep -qx 'LastKeybID=4' "$ini" || fail "the second run did not start with the last used type"
echo "settings survive a restart"

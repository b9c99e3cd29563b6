#!/usr/bin/env bash
# A settings file that is no regular file, also behind a link: a FIFO once hung the editor before
# any window, and saving replaced a device by an INI file. The editor now says so once, runs on
# its defaults and leaves the file, the link and what it points to as they were. Only nodes made
# here are used, never the system's devices.
set -euo pipefail
program=$1
. "$(dirname "$0")/editor_test_env.sh"
ini=$XDG_CONFIG_HOME/Tavrin/$(basename "$program").conf

# Warning, then the start type (the defaults ask for it), then Escape ends the program.
session() {
  xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
    "$1" & pid=$!
    trap "kill $pid 2>/dev/null" EXIT
    for title in "^Warning$" "^Select New Keyboard$"; do
      box=$(timeout 20 xdotool search --sync --name "$title" | head -n 1)
      [ -n "$box" ] || { echo "no window $title"; exit 1; }
      xdotool windowfocus --sync "$box" key Return
    done
    window=$(timeout 20 xdotool search --sync --name " - ZQ programmer$" | head -n 1)
    xdotool windowfocus --sync "$window" key Escape
    timeout 20 tail --pid="$pid" -f /dev/null || { echo "the program did not end"; exit 1; }
    trap - EXIT
  ' session "$program"
}

fail() { echo "FAIL: $*"; ls -la "$XDG_CONFIG_HOME/Tavrin" "$work"; exit 1; }

fresh() {
  rm -rf "$XDG_CONFIG_HOME" "$work/target"
  mkdir -p "$XDG_CONFIG_HOME/Tavrin"
}

fresh
mkfifo "$work/target"
ln -s "$work/target" "$ini"
session || fail "link to a FIFO"
[ "$(readlink "$ini")" = "$work/target" ] && [ -p "$work/target" ] || fail "link to a FIFO changed"

fresh
mkfifo "$ini"
session || fail "a FIFO"
[ -p "$ini" ] || fail "the FIFO changed"

fresh
mkdir "$ini"
session || fail "a folder"
[ -d "$ini" ] && [ -z "$(ls -A "$ini")" ] || fail "the folder changed"

# A device node of our own, the null device's numbers: only root may make one.
fresh
if mknod "$work/target" c 1 3 2>/dev/null; then
  ln -s "$work/target" "$ini"
  session || fail "link to a device"
  [ "$(readlink "$ini")" = "$work/target" ] && [ -c "$work/target" ] &&
    [ "$(stat -c %t:%T "$work/target")" = 1:3 ] || fail "link to a device changed"
else
  echo "no device node case: mknod is not permitted"
fi
echo "settings files that are no regular file are left alone"

#!/usr/bin/env bash
# A project named on the command line by a relative path whose name is not UTF-8, from a folder
# reached through a link: the editor opens it, and the recent file list keeps the absolute path
# byte for byte, the link included, so that the entry works from any other folder.
set -euo pipefail
program=$1
tool=$2
. "$(dirname "$0")/editor_test_env.sh"
mkdir -p "$work/projects"
ln -s projects "$work/link"
ini=$XDG_CONFIG_HOME/Tavrin/$(basename "$program").conf
name=$'caf\xe9.zqp'
"$tool" new 6 -o "$work/projects/$name"

fail() { echo "FAIL: $*"; cat "$ini" 2>/dev/null; exit 1; }

cd "$work/link"
export PWD
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
  "$1" "$2" & pid=$!
  trap "kill $pid 2>/dev/null" EXIT
  window=$(timeout 20 xdotool search --sync --name "^caf.* - ZQ programmer$" | head -n 1)
  [ -n "$window" ] || exit 1
  xdotool windowfocus --sync "$window" key Escape
  timeout 20 tail --pid="$pid" -f /dev/null || { echo "the program did not end"; exit 1; }
  trap - EXIT
' session "$program" "$name" || fail "the project named on the command line did not open"

# Bytes that are not UTF-8 are kept as a byte array, escaped in the INI text.
grep -qxF "File1=@ByteArray($work/link/caf\\xe9.zqp)" "$ini" || fail "the recent file is not the absolute path"
echo "a relative, non-UTF-8 project path opens and is remembered absolute"

#!/usr/bin/env bash
# The editor started where it cannot show a window, or only to be asked about itself: a clear line
# and an exit status, never Qt's abort.
set -uo pipefail
program=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

run() { env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$@" >"$work/out" 2>"$work/err"; }

run "$program"
status=$?
[ "$status" -eq 1 ] || fail "without a display: exit status $status, not 1 ($(cat "$work/err"))"
[ "$(wc -l <"$work/err")" -eq 1 ] || fail "without a display: not one line: $(cat "$work/err")"
grep -q 'QT_QPA_PLATFORM=offscreen' "$work/err" || fail "the offscreen platform is not named"
grep -q 'zqtool' "$work/err" || fail "zqtool is not named"
[ ! -s "$work/out" ] || fail "without a display: standard output is not empty"

run env QT_QPA_PLATFORM=xcb "$program"
status=$?
[ "$status" -eq 1 ] || fail "xcb without DISPLAY: exit status $status, not 1"

for word in --help -h; do
  run "$program" "$word" || fail "$word: exit status $?"
  grep -q '^usage: zq-programmer \[PROJECT\]' "$work/out" || fail "$word: no usage on standard output"
  [ ! -s "$work/err" ] || fail "$word: standard error: $(cat "$work/err")"
done

run "$program" --version || fail "--version: exit status $?"
grep -qx 'zq-programmer [0-9][0-9.]*' "$work/out" || fail "--version: $(cat "$work/out")"
echo "no display, --help and --version are answered without a window"

#!/usr/bin/env bash
# zq-programmer --export-legends and --export-report as a script runs them: no display, the format
# from the output's extension, an exit status for every failure.
set -uo pipefail
program=$1
tool=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

run() { env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$@" >"$work/out" 2>"$work/err"; }

"$tool" new 4 -o "$work/empty.zqp" || fail "zqtool new"
sed -e 's/^1:M1,S+,N=Key_1/1:M1,S+,K0x06,N=Coffee/' -e 's/^2:M1,S+,N=Key_2/2:M1,S+,K0x17,N=Tea/' \
  "$work/empty.zqp" >"$work/shop.zqp"

run "$program" --export-legends "$work/shop.zqp" -o "$work/sheet.pdf" --page letter --insert 15x15 \
  || fail "pdf: exit status $? ($(cat "$work/err"))"
head -c 5 "$work/sheet.pdf" | grep -q '%PDF-' || fail "pdf: not a PDF"
grep -aEq '/MediaBox \[0 0 612(\.0+)? 792(\.0+)?\]' "$work/sheet.pdf" || fail "pdf: not a Letter page"
run "$program" --export-legends "$work/shop.zqp" -o "$work/sheet.png" --mode keyboard --layout 1 \
  || fail "png: exit status $? ($(cat "$work/err"))"
head -c 8 "$work/sheet.png" | grep -aq 'PNG' || fail "png: not a PNG"
run "$program" --export-legends "$work/shop.zqp" -o "$work/sheet.svg"
status=$?
if [ "$status" -eq 0 ]; then
  grep -q 'width="210mm" height="297mm"\|width="215.9mm" height="279.4mm"' "$work/sheet.svg" || fail "svg: no page size in mm"
else
  [ "$status" -eq 69 ] || fail "svg: exit status $status"
fi

run "$program" --export-legends "$work/shop.zqp" -o "$work/sheet.jpg"
[ $? -eq 64 ] || fail "jpg: not refused as usage"
grep -q 'sheet.jpg' "$work/err" || fail "jpg: the output is not named"
run "$program" --export-legends "$work/missing.zqp" -o "$work/x.pdf"
[ $? -eq 66 ] || fail "a missing project: not 66"
run "$program" --export-legends "$work/empty.zqp" -o "$work/x.pdf"
[ $? -eq 65 ] || fail "nothing to print: not 65"
run "$program" --export-legends "$work/shop.zqp" -o "$work/x.pdf" --layout 9
[ $? -eq 64 ] || fail "a layout the project lacks: not 64"
run "$program" --export-legends "$work/shop.zqp" -o "$work/none/x.pdf"
[ $? -eq 74 ] || fail "an output that cannot be written: not 74"

run "$program" --export-report "$work/shop.zqp" -o "$work/report.pdf" --notes "Till 3" \
  || fail "report: exit status $? ($(cat "$work/err"))"
if command -v pdftotext >/dev/null; then
  pdftotext "$work/report.pdf" - | grep -q 'Coffee' || fail "report: no Coffee"
  pdftotext "$work/report.pdf" - | grep -q 'Till 3' || fail "report: no notes"
fi
echo "ok"

#!/bin/sh
# Runs wizard-dialog-drive.exe (Windows x86-64 build) under Wine with its own
# Xvfb display: real pages from template 1000, driven from a second thread.
# usage: run_dialog_drive.sh PATH/TO/wizard-dialog-drive.exe [WINEPREFIX]
# Needs wine (the 64-bit loader /usr/lib/wine/wine64) and xvfb. Exit code 0
# when every check of the program holds, 77 when Wine or Xvfb is missing.
set -eu
exe=$1
prefix=${2:-$(dirname "$exe")/wineprefix}
wine=/usr/lib/wine/wine64
[ -x "$wine" ] || wine=$(command -v wine64 || true)
if [ -z "$wine" ] || ! command -v Xvfb >/dev/null 2>&1; then
  echo "run_dialog_drive: wine64 or Xvfb missing, skipped"; exit 77
fi
display=${WIZARD_DISPLAY:-:$(( 90 + $$ % 100 ))}
Xvfb "$display" -screen 0 1280x1024x24 >/dev/null 2>&1 &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null || true' EXIT
sleep 1
WINEPREFIX=$(cd "$(dirname "$prefix")" && pwd)/$(basename "$prefix") WINEDEBUG=-all DISPLAY=$display \
  timeout 120 "$wine" "$exe"

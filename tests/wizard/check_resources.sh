#!/bin/sh
# check_resources.sh PROGRAM.exe | --rc FILE.rc: a Windows program (x86-64 or
# i686), or the resource script compiled first, carries setup's resources as
# the wizard expects them: dialog template 1000 (styles, size, caption, font,
# its 17 controls) and bitmap 106, 220 x 369 pixels, 24 bits per pixel. Needs
# a mingw-w64 windres (either reads both formats). Exit code 0 when all hold.
set -eu
windres=$(command -v x86_64-w64-mingw32-windres i686-w64-mingw32-windres | head -n1)
[ -n "$windres" ] || { echo "check_resources: no mingw-w64 windres found" >&2; exit 2; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
input=${1:?usage: check_resources.sh PROGRAM.exe | --rc FILE.rc}
if [ "$input" = --rc ]; then
  "$windres" -I "$(dirname "$2")" "$2" -O coff -o "$work/resources.o"
  input=$work/resources.o
fi
[ -f "$input" ] || { echo "check_resources: $input not found" >&2; exit 2; }
# windres reads the resources through the .rsrc directory, so what it finds
# there is what the program's loader finds.
"$windres" --input-format=coff -i "$input" -O rc > "$work/resources.rc" ||
  { echo "FAIL: $windres finds no resources in $input"; exit 1; }

# Dialog 1000 as the wizard expects it: the controls of its own copy, from
# which it lays the pages out (dialog.cpp), each with its kind's class and style.
# Style 0x80c800c8 = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME |
# DS_SETFONT | DS_FIXEDSYS; 0x5000.... = WS_CHILD | WS_VISIBLE, 0x10000 WS_TABSTOP,
# 0x20000 WS_GROUP; radio 9 BS_AUTORADIOBUTTON; check 0x2003 BS_AUTOCHECKBOX |
# BS_MULTILINE; picture 0x1a0e SS_BITMAP | SS_CENTERIMAGE | SS_REALSIZEIMAGE |
# SS_SUNKEN; edit 0xa00844 ES_MULTILINE | ES_AUTOVSCROLL | ES_READONLY |
# WS_VSCROLL | WS_BORDER.
sed -n '/^1000 DIALOGEX/,/^END/p' "$work/resources.rc" > "$work/dialog.rc"
{ printf '%s\n' '1000 DIALOGEX 0, 0, 373, 184' 'STYLE 0x80c800c8' 'CAPTION "Dialog"' 'FONT 8, "MS Shell Dlg", 400, 0, 1' BEGIN
  sed -En 's/^ *\{([0-9]+), ([0-9]+), ([0-9]+), ([0-9]+), ([0-9]+), ("[^" ]*")\},$/\1 \6 \2, \3, \4, \5/p' \
    "$(dirname "$0")/../../installer/platform/dialog.cpp" | while read -r id text rect; do
    case $id in
      120[1-6]) kind='"BUTTON", 0x50010009' ;; 110[1-5]) kind='"BUTTON", 0x50012003' ;;
      2|5) kind='"BUTTON", 0x50010000' ;; 6) kind='"BUTTON", 0x50010001' ;; 1007) kind='"EDIT", 0x50a00844' ;;
      1008) kind='"STATIC", 0x50020000' ;; 1009) kind='"STATIC", 0x50001a0e' text=106 ;; *) kind=unknown ;;
    esac
    echo "  CONTROL $text, $id, $kind, $rect"
  done
  echo END; } > "$work/expected.rc"
diff -u "$work/expected.rc" "$work/dialog.rc" || { echo "FAIL: dialog 1000 differs from what the wizard expects"; exit 1; }

# Bitmap 106: its BITMAPINFOHEADER is the first four words of the resource:
# size 40, width 220, height 369, planes 1 and 24 bits.
header=$(sed -n '/^106 2 /,/^END/p' "$work/resources.rc" | sed -n '3p' | tr -d ' ')
case "$header" in
  0x28L,0xdcL,0x171L,0x180001L,*) ;;
  *) echo "FAIL: bitmap 106 is not a 220 x 369 24-bit bitmap (header: $header)"; exit 1 ;;
esac

echo "resources ok: dialog 1000 and bitmap 106 in $(basename "${2:-$1}")"

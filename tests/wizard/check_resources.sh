#!/bin/sh
# Checks that a Windows executable (or the resource script) carries setup's
# resources as the wizard expects them: dialog template 1000 with its styles,
# size, caption, font and 17 controls (ids, classes, styles, positions, texts),
# and bitmap 106, 220 x 369 pixels, 24 bits per pixel.
#
# usage: check_resources.sh PROGRAM.exe   a linked Windows program (x86-64 or i686)
#        check_resources.sh --rc FILE.rc  compiles the script with windres first
# Needs the mingw-w64 binutils (objdump, windres). Exit code 0 when all is there.
set -eu

tool() {  # tool NAME: the first cross binutils program of that name found
  for prefix in x86_64-w64-mingw32 i686-w64-mingw32; do
    if command -v "$prefix-$1" >/dev/null 2>&1; then echo "$prefix-$1"; return 0; fi
  done
  echo "check_resources: no mingw-w64 $1 found" >&2
  exit 2
}

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

if [ "${1:-}" = "--rc" ]; then
  rc=$2
  windres=$(tool windres)
  "$windres" -I "$(dirname "$rc")" "$rc" -O coff -o "$work/resources.o"
  input=$work/resources.o
  objdump=""
else
  input=${1:?usage: check_resources.sh PROGRAM.exe | --rc FILE.rc}
  [ -f "$input" ] || { echo "check_resources: $input not found" >&2; exit 2; }
  # The binutils matching the program's format (pei-x86-64 or pei-i386).
  windres="" objdump=""
  for prefix in x86_64-w64-mingw32 i686-w64-mingw32; do
    command -v "$prefix-objdump" >/dev/null 2>&1 || continue
    format=$("$prefix-objdump" -f "$input" 2>/dev/null | sed -n 's/.*file format //p')
    case "$format" in
      pei-x86-64) want=x86_64-w64-mingw32 ;;
      pei-i386) want=i686-w64-mingw32 ;;
      *) continue ;;
    esac
    if command -v "$want-windres" >/dev/null 2>&1; then
      windres=$want-windres objdump=$want-objdump
    else
      windres=$prefix-windres objdump=$prefix-objdump
    fi
    break
  done
  [ -n "$windres" ] || { echo "check_resources: $input is not a Windows program" >&2; exit 2; }
fi

status=0
fail() { echo "FAIL: $*"; status=1; }

# The .rsrc directory: type 2 (bitmap) with id 0x6a (106), type 5 (dialog)
# with id 0x3e8 (1000).
if [ -n "$objdump" ]; then
  "$objdump" -p "$input" > "$work/headers.txt"
  awk '/Resource Directory section/ {on=1} on' "$work/headers.txt" > "$work/rsrc.txt"
  has() {  # has TYPE ID: the directory holds that type with that id
    awk -v type="$1," -v id="$2," '
      /^[0-9a-f]+   Entry: ID:/ { t = ($4 == type) }
      /^[0-9a-f]+     Entry: ID:/ && t && $4 == id { found = 1 }
      END { exit !found }' "$work/rsrc.txt"
  }
  has 0x000002 0x00006a || fail "no bitmap 106 in the .rsrc directory"
  has 0x000005 0x0003e8 || fail "no dialog 1000 in the .rsrc directory"
fi

"$windres" --input-format=coff -i "$input" -O rc > "$work/resources.rc" ||
  { echo "FAIL: $windres finds no resources in $input"; exit 1; }

# Dialog 1000 exactly as the wizard expects it.
sed -n '/^1000 DIALOGEX/,/^END/p' "$work/resources.rc" > "$work/dialog.rc"
cat > "$work/expected.rc" <<'END_OF_DIALOG'
1000 DIALOGEX 0, 0, 373, 184
STYLE 0x80c800c8
CAPTION "Dialog"
FONT 8, "MS Shell Dlg", 400, 0, 1
BEGIN
  CONTROL "Radio1", 1201, "BUTTON", 0x50010009, 140, 41, 90, 10
  CONTROL "Radio2", 1202, "BUTTON", 0x50010009, 140, 51, 90, 10
  CONTROL "Radio3", 1203, "BUTTON", 0x50010009, 140, 62, 90, 10
  CONTROL "Radio4", 1204, "BUTTON", 0x50010009, 140, 71, 90, 10
  CONTROL "Radio5", 1205, "BUTTON", 0x50010009, 140, 82, 90, 10
  CONTROL "Radio6", 1206, "BUTTON", 0x50010009, 140, 93, 90, 10
  CONTROL "Back", 5, "BUTTON", 0x50010000, 193, 163, 50, 14
  CONTROL "Next", 6, "BUTTON", 0x50010001, 243, 163, 50, 14
  CONTROL "Cancel", 2, "BUTTON", 0x50010000, 316, 163, 50, 14
  CONTROL 106, 1009, "STATIC", 0x50001a0e, 1, 3, 115, 174
  CONTROL "", 1007, "EDIT", 0x50a00844, 138, 108, 228, 45
  CONTROL "Static", 1008, "STATIC", 0x50020000, 131, 7, 235, 26
  CONTROL "Check1", 1101, "BUTTON", 0x50012003, 249, 38, 89, 10
  CONTROL "Check2", 1102, "BUTTON", 0x50012003, 249, 50, 89, 10
  CONTROL "Check3", 1103, "BUTTON", 0x50012003, 249, 62, 89, 10
  CONTROL "Check4", 1104, "BUTTON", 0x50012003, 249, 74, 89, 10
  CONTROL "Check5", 1105, "BUTTON", 0x50012003, 249, 86, 89, 10
END
END_OF_DIALOG
# Style 0x80c800c8 = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME |
# DS_SETFONT | DS_FIXEDSYS; 0x5000.... = WS_CHILD | WS_VISIBLE, 0x10000 WS_TABSTOP,
# 0x20000 WS_GROUP; radio 9 BS_AUTORADIOBUTTON; check 0x2003 BS_AUTOCHECKBOX |
# BS_MULTILINE; picture 0x1a0e SS_BITMAP | SS_CENTERIMAGE | SS_REALSIZEIMAGE |
# SS_SUNKEN; edit 0xa00844 ES_MULTILINE | ES_AUTOVSCROLL | ES_READONLY |
# WS_VSCROLL | WS_BORDER.
if ! diff -u "$work/expected.rc" "$work/dialog.rc" > "$work/dialog.diff"; then
  fail "dialog 1000 differs from what the wizard expects:"
  cat "$work/dialog.diff"
fi

# Bitmap 106: its BITMAPINFOHEADER is the first four words of the resource:
# size 40, width 220, height 369, planes 1 and 24 bits.
header=$(sed -n '/^106 2 /,/^END/p' "$work/resources.rc" | sed -n '3p' | tr -d ' ')
case "$header" in
  0x28L,0xdcL,0x171L,0x180001L,*) ;;
  *) fail "bitmap 106 is not a 220 x 369 24-bit bitmap (header: $header)" ;;
esac

if [ $status -eq 0 ]; then
  echo "resources ok: dialog 1000 and bitmap 106 in $(basename "${2:-$1}")"
fi
exit $status

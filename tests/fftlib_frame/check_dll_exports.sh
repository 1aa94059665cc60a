#!/usr/bin/env bash
# check_dll_exports.sh DLL OBJDUMP [CALLER.EXE]: halvex.dll exports exactly
# kfxcrFftNip, undecorated, as one jump through the call slot (jmp *slot), so
# the caller's arguments and return address reach the bound variant untouched;
# on i686 every variant entry (kfxcrFftNip...@24) returns with ret $0x18, the
# callee removing its 24 bytes of arguments; CALLER.EXE (declaring the export
# __stdcall, linked through the import library) imports it by that name.
set -uo pipefail
dll=${1:?usage: check_dll_exports.sh DLL OBJDUMP [CALLER.EXE]} objdump=${2:?} caller=${3:-} failed=0
fail() { echo "FAILED: $*"; failed=1; }
headers=$("$objdump" -p "$dll") || exit 1
# (Here-strings, not pipes: a reader that stops early must not fail the writer under pipefail.)
names=$(sed -n '/^\[Ordinal\/Name Pointer\] Table/,/^$/s/^[[:space:]]*\[[[:space:]]*[0-9]*\][[:space:]]*//p' <<< "$headers")
[ "$names" = kfxcrFftNip ] || fail "the export table holds: $names"
rva=$(sed -n 's/^[[:space:]]*\[[[:space:]]*0\] +base\[[[:space:]]*1\] \([0-9a-f]*\) Export RVA.*/\1/p' <<< "$headers")
base=$(sed -n 's/^ImageBase[[:space:]]*\([0-9a-fA-F]*\).*/\1/p' <<< "$headers")
first=$("$objdump" -d --start-address=$((0x${base:-0} + 0x${rva:-0})) --stop-address=$((0x${base:-0} + 0x${rva:-0} + 8)) "$dll" |
  grep -E '^[[:space:]]*[0-9a-f]+:' | head -n1)
grep -Eq 'ff 25 .*jmp[[:space:]]+\*' <<< "$first" || fail "kfxcrFftNip is not a jump through the call slot: $first"
if grep -q 'file format pei-i386' <<< "$headers"; then
  bodies=$("$objdump" -t "$dll" | sed -n 's/.*(ty  *20).* 0x[0-9a-f]* \(.*kfxcrFftNip.*@24\)$/\1/p' | grep -v '^_kfxcrFftNip@24$')
  [ "$(wc -w <<< "$bodies")" -eq 6 ] || fail "not six variant entries in the symbol table: $bodies"
  disassembly=$("$objdump" -d "$dll")
  for body in $bodies; do
    code=$(awk -v name="<$body>:" '$2 == name { on = 1; next } on && /^$/ { exit } on' <<< "$disassembly")
    grep -Eq 'ret[[:space:]]+\$0x18' <<< "$code" && ! grep -Eq 'ret[[:space:]]*$' <<< "$code" ||
      fail "$body does not return with ret \$0x18 alone"
  done
fi
[ -z "$caller" ] || grep -Eq '^[[:space:]]*[0-9a-f]+[[:space:]]+[0-9]+[[:space:]]+kfxcrFftNip$' <<< "$("$objdump" -p "$caller" |
  sed -n '/DLL Name: halvex.dll/,/^$/p')" || fail "$caller does not import kfxcrFftNip from halvex.dll"
[ "$failed" -eq 0 ] && echo "ok: $dll exports kfxcrFftNip alone, through the call slot${bodies:+, six stdcall bodies}"

#!/usr/bin/env bash
# check_dll_exports.sh DLL OBJDUMP [CALLER.EXE]
#
# Checks a Windows build of halvex.dll (x86-64 or i686) from its PE headers:
#  1. the export table holds exactly one name, kfxcrFftNip (undecorated);
#  2. the exported address is the thunk: one indirect jump through a memory
#     slot (jmp *slot), so the caller's arguments and return address reach the
#     bound variant body untouched;
#  3. i686 only: the symbol is stdcall-compatible: every variant entry body the
#     DLL's symbol table names (kfxcrFftNip...@24) returns with `ret $0x18`
#     (the callee removes the 24 bytes of arguments), checked when the DLL
#     still has its symbol table;
#  4. with CALLER.EXE (fftlib's halvex-stdcall-caller.exe, which declares the
#     export __stdcall with six arguments and links through the import
#     library): that program imports kfxcrFftNip from halvex.dll by that name.
# Prints one line per check and "N passed, N failed"; exit 0 when all pass.
set -uo pipefail
dll=${1:?usage: check_dll_exports.sh DLL OBJDUMP [CALLER.EXE]}
objdump=${2:?usage: check_dll_exports.sh DLL OBJDUMP [CALLER.EXE]}
caller=${3:-}
passed=0
failed=0
pass() { echo "ok: $*"; passed=$((passed + 1)); }
fail() { echo "FAILED: $*"; failed=$((failed + 1)); }

headers=$("$objdump" -p "$dll") || { echo "FAILED: $objdump -p $dll"; echo "0 passed, 1 failed"; exit 1; }
format=$(printf '%s\n' "$headers" | sed -n 's/.*file format \(pei-[a-z0-9-]*\).*/\1/p' | head -n1)

# 1. Exactly one exported name.
names=$(printf '%s\n' "$headers" |
  sed -n '/^\[Ordinal\/Name Pointer\] Table/,/^$/p' | sed -n 's/^[[:space:]]*\[[[:space:]]*[0-9]*\][[:space:]]*//p')
if [ "$names" = "kfxcrFftNip" ]; then
  pass "export table of $dll ($format) holds exactly kfxcrFftNip"
else
  fail "export table of $dll ($format) holds: $(echo "$names" | tr '\n' ' ')"
fi

# 2. The export is one indirect jump through a slot.
rva=$(printf '%s\n' "$headers" | sed -n 's/^[[:space:]]*\[[[:space:]]*0\] +base\[[[:space:]]*1\] \([0-9a-f]*\) Export RVA.*/\1/p' | head -n1)
base=$(printf '%s\n' "$headers" | sed -n 's/^ImageBase[[:space:]]*\([0-9a-fA-F]*\).*/\1/p' | head -n1)
if [ -n "$rva" ] && [ -n "$base" ]; then
  start=$(printf '0x%x' $((0x$base + 0x$rva)))
  stop=$(printf '0x%x' $((0x$base + 0x$rva + 8)))
  first=$("$objdump" -d --start-address="$start" --stop-address="$stop" "$dll" |
    grep -E '^[[:space:]]*[0-9a-f]+:' | head -n1)
  if grep -Eq 'ff 25 .*jmp[[:space:]]+\*' <<< "$first"; then
    pass "kfxcrFftNip at $start is a jump through the call slot:$(printf '%s' "$first" | sed 's/.*jmp/ jmp/')"
  else
    fail "kfxcrFftNip at $start is not 'jmp *slot': $first"
  fi
else
  fail "no export address found in $dll"
fi

# 3. i686: the variant bodies are stdcall (ret $0x18).
if [ "$format" = "pei-i386" ]; then
  bodies=$("$objdump" -t "$dll" | sed -n 's/.*(sec  *[0-9]*)(fl 0x00)(ty  *20)(scl  *[0-9]*) (nx 0) 0x[0-9a-f]* \(.*kfxcrFftNip.*@24\)$/\1/p' |
    grep -v '^_kfxcrFftNip@24$' || true)
  if [ -z "$bodies" ]; then
    echo "note: no variant entry symbols in $dll (stripped?); ret \$0x18 not checked"
  else
    disassembly=$("$objdump" -d "$dll")
    for body in $bodies; do
      # Here-strings, not pipes: a reader that stops early must not make the
      # writer fail under pipefail.
      code=$(awk -v name="<$body>:" '
        $2 == name { on = 1; next } on && /^$/ { exit } on { print }' <<< "$disassembly")
      if grep -Eq 'ret[[:space:]]+\$0x18' <<< "$code"; then
        if grep -Eq 'ret[[:space:]]*$' <<< "$code"; then
          fail "variant entry $body has a plain ret besides ret \$0x18"
        else
          pass "variant entry $body returns with ret \$0x18 (stdcall, 24 bytes)"
        fi
      else
        fail "variant entry $body does not return with ret \$0x18"
      fi
    done
  fi
fi

# 4. A stdcall caller linked through the import library imports it by name.
if [ -n "$caller" ]; then
  imports=$("$objdump" -p "$caller" | sed -n '/DLL Name: halvex.dll/,/^$/p')
  if grep -Eq '^[[:space:]]*[0-9a-f]+[[:space:]]+[0-9]+[[:space:]]+kfxcrFftNip$' <<< "$imports"; then
    pass "$caller imports kfxcrFftNip from halvex.dll"
  else
    fail "$caller does not import kfxcrFftNip from halvex.dll: $imports"
  fi
fi

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]

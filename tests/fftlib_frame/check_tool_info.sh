#!/bin/sh
# check_tool_info.sh [EMULATOR...] HALVEX-TOOL: `halvex-tool info` exits with 0; the probe it
# prints agrees with /proc/cpuinfo where there is one and no emulator runs the tool (the kernel's
# family adds the extended family from base family 15 on); the class and variant follow the
# classing rules from that probe (every variant is built); the feature and width lines have their forms.
[ $# -ge 1 ] || { echo "usage: check_tool_info.sh [EMULATOR...] HALVEX-TOOL" >&2; exit 2; }
out=$("$@" info) || { echo "FAILED: exit status $?"; exit 1; }
field() { echo "$out" | sed -n "s/^$1: //p"; }
leaf=$(field 'maximum leaf') family=$(field family) mmx=$(field MMX) sse=$(field SSE) sse2=$(field SSE2)
[ $# -gt 1 ] && echo "note: the emulator's processor is not the kernel's: the probe is not compared with /proc/cpuinfo"
if [ $# -eq 1 ] && [ -r /proc/cpuinfo ]; then
  flags=" $(sed -n 's/^flags[[:space:]]*: //p' /proc/cpuinfo | head -n 1) "
  has() { case $flags in *" $1 "*) echo yes ;; *) echo no ;; esac; }
  cpu=$(sed -n 's/^cpu family[[:space:]]*: //p' /proc/cpuinfo | head -n 1)
  [ "$cpu" -gt 15 ] && cpu=15
  probe="$cpu $(has mmx) $(has sse) $(has sse2)"
  [ "$family $mmx $sse $sse2" = "$probe" ] || { echo "FAILED: the probe differs from /proc/cpuinfo ($probe):"; echo "$out"; exit 1; }
fi
if [ "$leaf" = 0 ]; then class=6
elif [ "$family" = 15 ] && [ "$sse2" = yes ]; then class=5
elif [ "$family" = 6 ] && [ "$sse" = yes ]; then class=4
elif [ "$family" = 6 ] && [ "$mmx" = yes ]; then class=3
elif [ "$family" = 5 ] && [ "$mmx" = yes ]; then class=2
else class=0; fi
case $class in
  6) lines="class: 6 (no usable CPUID information)
variant: none (the library refuses to load: No ZAdu matching to CPU was found during the Waterfall)" width='none' ;;
  5) lines="class: 5
variant: 5" width="(128 .variant 5's SSE2|256 .variant 5's AVX|512 .variant 5's AVX-512F) body." ;;
  4) lines="class: 4
variant: 4" width="(128 .variant 4's SSE|256 .variant 4's AVX|512 .variant 4's AVX-512F) body." ;;
  *) lines="class: $class
variant: $class" width="none .variant $class is scalar." ;;
esac
expected="maximum leaf: $leaf
family: $family
MMX: $mmx
SSE: $sse
SSE2: $sse2
$lines"
feature='(yes|no|yes, not saved by the system)'
if [ "$(echo "$out" | head -n 7)" != "$expected" ] || ! echo "$leaf $family" | grep -Eqx '[0-9]+ ([0-9]|1[0-5])' ||
   ! echo "$out" | tail -n +8 | tr '\n' '|' | grep -Eqx "AVX: $feature\|AVX2: $feature\|AVX-512F: $feature\|width: $width\|"; then
  printf 'FAILED: halvex-tool info printed\n%s\nexpected first\n%s\n' "$out" "$expected"
  exit 1
fi

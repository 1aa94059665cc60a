#!/bin/sh
# check_i686_sse.sh FILE [OBJDUMP]: i686 halvex must load and run on processors
# without SSE, so only variants 4 and 5 may hold SSE instructions, variant 4 no
# SSE2 ones, no code MMX ones; every function of the disassembly is checked by
# its symbol. Exit 0 when the rules hold, 1 with the offenders listed, 2 when
# the file shows no variant functions (stripped, or not halvex).
set -eu
"${2:-i686-w64-mingw32-objdump}" -d -C --no-show-raw-insn "$1" | awk '
  /^[0-9a-f]+ <.*>:$/ {  # a function starts
    fn = $0; sub(/^[0-9a-f]+ </, "", fn); sub(/>:$/, "", fn)
    vector = fn ~ /(^|[ (])v[45]::/; v4 = fn ~ /(^|[ (])v4::/
    if (fn ~ /(^|[ ])v[0-3]::/) scalarSeen++
    next
  }
  /^ *[0-9a-f]+:\t/ {
    insn = $0; sub(/^ *[0-9a-f]+:\t/, "", insn); split(insn, word, /[ \t]+/); op = word[1]
    sse = insn ~ /%xmm/ || op ~ /^(ldmxcsr|stmxcsr|sfence|lfence|mfence|prefetch|movnt|clflush|maskmov)/
    if (vector && sse) vectorSse++
    if (insn ~ /%mm[0-7]/ || op == "emms") { print "MMX in " fn ": " insn; bad++ }
    else if (sse && !vector) { print "SSE outside variants 4 and 5, in " fn ": " insn; bad++ }
    # SSE2: double-precision and integer vector forms, 64-bit moves to xmm.
    else if (sse && v4 && (op ~ /(pd|sd)$/ && op !~ /^(movlpd|movhpd)$/ && insn ~ /%xmm/ ||
             op ~ /^(cvt|movdq|movq$|movd$|punpck|pshuf|lfence|mfence|clflush|maskmovdqu|movnti)/ ||
             op ~ /^p/ && op !~ /^prefetch/ && insn ~ /%xmm/)) { print "SSE2 in variant 4, in " fn ": " insn; bad++ }
  }
  END {
    if (!scalarSeen || !vectorSse) { print "no variant functions, or no SSE in variants 4 and 5: stripped, or not halvex?"; exit 2 }
    if (bad) { print bad " offending instructions"; exit 1 }
    print "ok: " scalarSeen " functions of variants 0 to 3 and all code outside variants 4 and 5 free of SSE and MMX; variant 4 SSE1 only"
  }'

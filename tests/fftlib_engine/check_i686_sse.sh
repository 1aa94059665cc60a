#!/bin/sh
# On 32-bit x86 halvex must load and run on processors without SSE: only the
# code of variants 4 and 5 may hold SSE or SSE2 instructions, variant 4 no
# SSE2 ones, and no variant MMX ones. Disassembles the i686 halvex.dll (or
# object files) and checks every function by its symbol.
#
#   check_i686_sse.sh FILE... [--objdump PATH]
#
# PATH defaults to i686-w64-mingw32-objdump. Exit 0 when the rules hold, 1
# with the offending functions and instructions listed, 2 on a usage error or
# when the file shows no variant functions (a stripped or wrong file).
set -eu
objdump=i686-w64-mingw32-objdump
files=""
while [ $# -gt 0 ]; do
    case "$1" in
        --objdump) objdump="$2"; shift 2 ;;
        *) files="$files $1"; shift ;;
    esac
done
if [ -z "$files" ]; then
    echo "usage: $0 FILE... [--objdump PATH]" >&2
    exit 2
fi
listing=$(mktemp)
trap 'rm -f "$listing"' EXIT
# shellcheck disable=SC2086
"$objdump" -d -C --no-show-raw-insn $files >"$listing"

awk '
    # A function starts at "<address> <name>:"; its instructions follow.
    /^[0-9a-f]+ <.*>:$/ {
        fn = $0
        sub(/^[0-9a-f]+ </, "", fn)
        sub(/>:$/, "", fn)
        vector = fn ~ /^(void )?v[45]::/ || fn ~ /[ (]v[45]::/
        if (fn ~ /(^|[ ])v[0-3]::/) scalarSeen++
        if (fn ~ /(^|[ ])v4::/) v4 = 1; else v4 = 0
        next
    }
    /^ *[0-9a-f]+:\t/ {
        insn = $0
        sub(/^ *[0-9a-f]+:\t/, "", insn)
        split(insn, word, /[ \t]+/)
        op = word[1]
        sse = insn ~ /%xmm/ || op ~ /^(ldmxcsr|stmxcsr|sfence|lfence|mfence|prefetch|movnt|clflush|maskmov)/
        mmx = insn ~ /%mm[0-7]/ || op == "emms"
        if (vector && sse) vectorSse++
        if (mmx) { print "MMX in " fn ": " insn; bad++ }
        else if (sse && !vector) { print "SSE outside variants 4 and 5, in " fn ": " insn; bad++ }
        else if (sse && v4) {
            # SSE2: double-precision and integer vector forms, 64-bit moves to xmm.
            if (op ~ /(pd|sd)$/ && op !~ /^(movlpd|movhpd)$/ && insn ~ /%xmm/ ||
                op ~ /^(cvt|movdq|movq$|movd$|punpck|pshuf|lfence|mfence|clflush|maskmovdqu|movnti)/ ||
                (op ~ /^p/ && op !~ /^prefetch/ && insn ~ /%xmm/)) {
                print "SSE2 in variant 4, in " fn ": " insn; bad++
            }
        }
    }
    END {
        if (scalarSeen == 0) { print "no functions of variants 0 to 3 found: stripped or not halvex?"; exit 2 }
        if (vectorSse == 0) { print "no SSE in variants 4 and 5 found: not the vector build?"; exit 2 }
        if (bad > 0) { print bad " offending instructions"; exit 1 }
        print "ok: " scalarSeen " functions of variants 0 to 3 and all code outside variants 4 and 5 are free of SSE and MMX; variant 4 is SSE1 only"
    }
' "$listing"

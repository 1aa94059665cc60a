#!/bin/sh
# check_wide_isa.sh OBJDUMP ARCHIVE: the instructions each object of halvex's internal library holds
# stay within what the load checks before running them. The vector variants' 256-bit bodies run
# where CPUID reports AVX, their 512-bit bodies where it reports AVX-512F and AVX2; everything else
# runs on any x86-64 processor. So (one failure line per offending instruction):
#   *_avx.cpp objects     no AVX2 (integer ymm, broadcasts from registers, lane-crossing permutes and
#                         the like) and no EVEX form (zmm, mask, registers 16-31)
#   *_avx512.cpp objects  no part of AVX-512 but F: no mask or upper register on a narrower
#                         packed instruction (VL), no DQ, BW, CD or later mnemonic
#   both                  no fused multiply-add (the bits of every width depend on it)
#   all others            no VEX or EVEX instruction at all
#   every object          no POPCNT or LZCNT, which no CPUID bit that the load reads covers
objdump=${1:?usage: check_wide_isa.sh OBJDUMP ARCHIVE} archive=${2:?usage: check_wide_isa.sh OBJDUMP ARCHIVE}
"$objdump" -d --no-show-raw-insn "$archive" | awk '
  /file format/ { obj = $1; sub(/:$/, "", obj); kind = obj ~ /_avx512\.cpp/ ? 512 : obj ~ /_avx\.cpp/ ? 256 : 0; objs[kind]++; next }
  !/^ *[0-9a-f]+:\t/ { next }
  {
    split($0, f, "\t"); m = f[2]; sub(/ .*/, "", m); ops = f[2]; sub(/^[^ ]+ */, "", ops); why = ""
    if (m ~ /^(popcnt|lzcnt)$/) why = "POPCNT/LZCNT"
    else if (kind == 0 && m ~ /^v/) why = "VEX outside the wider bodies"
    else if (kind > 0 && m ~ /^vf(n?m(add|sub)|maddsub|msubadd)/) why = "FMA"
    else if (kind == 256 && (ops ~ /%zmm|%k[0-7]|mm(1[6-9]|2[0-9]|3[01])/ || m ~ /(32|64)x[248]$/)) why = "EVEX"
    else if (kind == 256 && (m ~ /^vp/ && m !~ /^vp(erm2f128|ermilp[sd]|test)$/ && ops ~ /%ymm/ || m ~ /^vbroadcasts[sd]$/ && ops ~ /^%xmm/ ||
      m ~ /^v(perm2i128|inserti128|extracti128|perm[dq]|permp[sd]|pblendd|pbroadcast[bwdq]|broadcasti128|p?gather.*|pmaskmov[dq]|ps[lr]lv[dq]|psravd)$/))
      why = "AVX2"
    else if (kind == 512 && ops !~ /%zmm/ && (ops ~ /%k[0-7]/ && ops ~ /%[xy]mm/ || ops ~ /mm(1[6-9]|2[0-9]|3[01])/ && m !~ /(s[sd]|^vmov[dq]|^vmov(h|l|hl|lh)p[sd]|^v(insert|extract)ps)$/))
      why = "AVX-512VL"
    else if (kind == 512 && (m ~ /^v(extract|insert|broadcast)[fi](32x8|64x2|32x2)$|^v(fpclass|range|reduce|dbpsadbw|pconflict|plzcnt|pbroadcastm|perm[bw]|pmultishift|pdpb|pdpw|popcnt|p2intersect|pshl?d|pshrd|gf2p8|pmullq)|^vcvt.*qq|^vpmov(m2|[bwdq]2m)|^vmovdqu(8|16)$|^k[a-z]+[bdq]$/ ||
      ops ~ /%zmm/ && m ~ /^v((and|andn|or|xor)p[sd]|p(shufb|alignr|sadbw|maddubsw|maddwd|mulhrsw|broadcast[bw]|unpck[lh](bw|wd)|ack[su]s(wb|dw)|(adds?|subs?|addus|subus|avg|max[su]|min[su]|abs|cmpeq|cmpgt|s[lr]l|sra|mull|mulhu?)[bw]))$/))
      why = "AVX-512 beyond F"
    if (why != "") { print "FAILED: " obj ": " why ": " f[2]; bad++ }
  }
  END {
    if (!objs[256] || !objs[512]) { print "FAILED: no wider bodies in the archive"; bad++ }
    printf "%d objects, %d with 256-bit and %d with 512-bit bodies: %d instructions out of bounds\n", objs[0] + objs[256] + objs[512], objs[256], objs[512], bad
    exit bad > 0
  }'

#!/usr/bin/env bash
# check_so_exports.sh LIBHALVEX.SO [NM]: the shared library's dynamic symbol
# table defines exactly one symbol, kfxcrFftNip (a function).
set -uo pipefail
so=${1:?usage: check_so_exports.sh LIBHALVEX.SO [NM]}
nm=${2:-nm}
defined=$("$nm" -D --defined-only "$so") || { echo "FAILED: $nm -D --defined-only $so"; exit 1; }
names=$(printf '%s\n' "$defined" | awk 'NF { print $NF }')
types=$(printf '%s\n' "$defined" | awk 'NF { print $(NF-1) }')
if [ "$names" = "kfxcrFftNip" ] && [ "$types" = "T" ]; then
  echo "ok: $so defines exactly kfxcrFftNip"
  echo "1 passed, 0 failed"
  exit 0
fi
echo "FAILED: $so defines:"
printf '%s\n' "$defined"
echo "0 passed, 1 failed"
exit 1

#!/bin/sh
# check_tool_fft.sh HALVEX-TOOL: `halvex-tool fft`'s command line, file format and exit codes,
# one invocation a row; floats go in and out as little-endian float32 (perl's pack "f<").
tool=${1:?usage: check_tool_fft.sh HALVEX-TOOL}
dir=$(mktemp -d) || exit 1
trap 'rm -rf "$dir"' EXIT
passed=0 failed=0
input() { perl -e 'print pack("f<*", @ARGV)' -- "$@" >"$dir/in"; }
# row STATUS EXPECTED ARGS...: `halvex-tool fft ARGS` in $dir, the file `in` piped to it, exits
# with STATUS; EXPECTED is its output as floats (the file `res` if it wrote one) when STATUS is
# 0, else a part of its standard error.
row() {
  want=$1 expected=$2
  shift 2
  rm -f "$dir/res"
  (cd "$dir" && cat in | "$tool" fft "$@" >out 2>err)
  got=$? out=$dir/out
  [ -f "$dir/res" ] && out=$dir/res
  if [ "$got" != "$want" ]; then ok=false
  elif [ "$want" = 0 ]; then [ "$(perl -e 'local $/; print join(" ", unpack("f<*", <STDIN>))' <"$out")" = "$expected" ] && ok=true || ok=false
  else grep -qF -- "$expected" "$dir/err" && ok=true || ok=false; fi
  if $ok; then passed=$((passed + 1)); else failed=$((failed + 1)); echo "FAILED: fft $* (exit $got, want $want: $expected)"; cat "$dir/err"; fi
}
input 1 0 0 0 0 0 0 0
row 0 '1 1 1 1 0 0 0 0' --order 2 --flags 1 in res
row 0 '' --order 12 --flags 4
row 0 '' --order 12 --flags 8
row 1 'cannot open' --order 2 --flags 1 no-such-file
row 1 'cannot write the output' --order 2 --flags 1 - /dev/full
input 3 5 -1 0.5
row 0 '4 -1 -0.25 -0.75' --order 1 --flags 0x2 - -
for v in 0 1 2 3 4 5; do row 0 '8 -2 -0.5 -1.5' --order 1 --flags 18 --variant $v; done
# The vector variants' bodies: each width the processor runs gives the same floats (128 points,
# enough for the wider bodies' own leaves); a wider one, or one the build lacks, is refused.
widest=$("$tool" info | sed -n 's/^width: \([0-9]*\) (variant [45].*/\1/p')
perl -e 'print pack("f<*", 1, (0) x 255)' >"$dir/in"
ones=$(perl -e 'print join(" ", (1) x 128, (0) x 128)')
for v in 4 5; do
  for w in 128 256 512; do
    if [ "$w" -le "${widest:-0}" ]; then row 0 "$ones" --order 7 --flags 18 --variant $v --width $w
    else row 2 "$w-bit body of variant $v" --order 7 --flags 18 --variant $v --width $w; fi
  done
done
input 1 2 3 4 0 0 0 0
row 0 '10 -2 -2 -2 0 0 2 -2' --order 2 --flags 0x81
row 2 'kfxcrFftNip reported -5 (Bad argument): (flags & 1) && (flags & 2) [kfxffts line 846]' --order 2 --flags 3
row 2 'exactly 64 bytes' --order 3 --flags 1
row 2 '--order must be an integer from 0 to 31' --order 32 --flags 1
row 2 '--order must be an integer' --order two --flags 1
row 2 '--flags must be' --order 2 --flags 1x
row 2 '--order is required' --flags 1
row 2 '--flags is required' --order 2
row 2 '--variant must be 0 to 5' --order 2 --flags 1 --variant 6
row 2 '--width must be 128, 256 or 512' --order 2 --flags 1 --width 384
row 2 '--width applies to the vector variants 4 and 5 only' --order 2 --flags 1 --variant 3 --width 128
row 2 'unknown option --fast' --order 2 --flags 1 --fast
row 2 'too many files' --order 2 --flags 1 a b c
echo "$passed passed, $failed failed"
[ "$failed" = 0 ]

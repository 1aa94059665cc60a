#!/usr/bin/env bash
# Times halvex beside FFTW and KissFFT in a native release build and writes what
# docs/speed.md shows:
#   docs/bench/results.txt  the bench's table (machine, load, date, build, the
#                           commit measured) as halvex-tool bench prints it
#   docs/bench/results.csv  the same figures as CSV
#   docs/bench/mflops.png   mflops against order, one line per library
# Arguments go to halvex-tool bench (e.g. --orders 4-16, --variant 0).
# BENCH_OUT=DIR writes the three files elsewhere; BENCH_COMMIT=TEXT is the
# "source:" line's commit when the tree is not a git checkout. The machine
# should be quiet: the table reports the load averages at the start and end.
source "$(dirname "$0")/common.sh"
ensure_packages cmake g++ libfftw3-dev libkissfft-dev gnuplot-nox
OUT=${BENCH_OUT:-$ROOT/docs/bench}

# Only the tool and the library it links: the rest of the tree is not measured.
log "native release build (build/bench)"
cmake -S "$ROOT" -B "$BUILD/bench" -Wno-dev -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF >/dev/null
cmake --build "$BUILD/bench" -j "$JOBS" --target halvex-tool
tool=$BUILD/bench/tools/halvex-tool/halvex-tool
mkdir -p "$OUT"

# The commit measured, and whether the library or the tool differ from it
# (BENCH_COMMIT names it for a tree that is not a git checkout, e.g. an export).
commit=${BENCH_COMMIT:-$(git -C "$ROOT" rev-parse --short HEAD 2>/dev/null || echo unknown)}
if [ -z "${BENCH_COMMIT:-}" ] && [ "$commit" != unknown ] &&
  [ -n "$(git -C "$ROOT" status --porcelain -- fftlib tools/halvex-tool)" ]; then
  commit="$commit, with uncommitted changes in fftlib/ or tools/halvex-tool/"
fi

log "halvex-tool bench $*"
# Written beside the results first, so a failed run leaves the last ones alone.
tmp=$OUT/.bench.$$
trap 'rm -f "$tmp".txt "$tmp".csv "$tmp".png' EXIT
{
  printf 'source:  commit %s\n' "$commit"
  "$tool" bench --csv "$tmp.csv" "$@"
} | tee "$tmp.txt"

# One line per library that was measured (a build may lack FFTW or KissFFT).
machine=$(sed -n 's/^machine: //p' "$tmp.txt")
day=$(sed -n 's/^date: *\([0-9-]*\).*/\1/p' "$tmp.txt")
variant=$(sed -n 's/^halvex: *\(variant [0-9]*\).*/\1/p' "$tmp.txt")
width=$(sed -n 's/^halvex: .*its \([0-9]*-bit\) .*/, \1/p' "$tmp.txt")
plots=()
for entry in "4:halvex, $variant$width:#c0392b" "6:FFTW (split):#2471a3" "14:FFTW (interleaved):#7d3c98" \
  "8:KissFFT:#229954"; do
  IFS=: read -r column name colour <<<"$entry"
  if awk -F, -v c="$column" 'NR > 1 && $c != "" { found = 1 } END { exit !found }' "$tmp.csv"; then
    plots+=("'$tmp.csv' skip 1 using 1:$column with linespoints lw 2 pt 7 ps 0.8 lc rgb '$colour' title '$name'")
  fi
done
log "plot: $OUT/mflops.png"
gnuplot <<EOF
set encoding utf8
set terminal pngcairo size 900,560 enhanced font 'DejaVu Sans,11'
set output '$tmp.png'
set datafile separator ','
set title "Forward complex FFT, single precision, natural order, out of place\n{/*0.8 $machine; $day}"
set xlabel 'order (n = 2^{order} points)'
set ylabel 'mflops = 5 n log_2 n / t (µs)'
set xtics 1
set mxtics 1
set yrange [0:*]
set grid xtics ytics lc rgb '#dddddd'
set key top right box opaque
plot $(IFS=,; echo "${plots[*]}")
EOF
mv "$tmp.txt" "$OUT/results.txt"
mv "$tmp.csv" "$OUT/results.csv"
mv "$tmp.png" "$OUT/mflops.png"
log "wrote $OUT/results.txt, results.csv and mflops.png"

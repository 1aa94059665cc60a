#!/usr/bin/env bash
# halvex on processors other than this one, under the user-mode emulator with
# the CPUID of chosen models (no kernel support needed, also for 32-bit code):
# the i686 Linux build (its x87 variants, the SSE and SSE2 ones) under five
# 32-bit models, and the native x86-64 build's dispatch and width under three
# 64-bit ones. Prints PASS, FAIL or SKIP per step, then "cpus: N passed, M
# failed, K skipped"; non-zero on a failure.
source "$(dirname "$0")/common.sh"
set +e
NATIVE=${NATIVE_BUILD:-$BUILD/native} I686=$BUILD/i686-linux RUN=$BUILD/cpus-run
LOGS=$RUN/logs
# (Orders up to 16: the emulator runs some twenty times slower. Death tests fork
# alone: re-executing a 32-bit program needs a kernel that runs it.)
export HALVEX_TEST_LAST_ORDER=16 GTEST_DEATH_TEST_STYLE=fast
# emulator, model, then what the dispatch rules give for its CPUID: family,
# class (its variant is the same), width of the variant's body; last the
# variants whose instructions the model executes. (Features the emulator lacks
# are taken off the models: it would warn of them on standard error, which the
# tests read, at every thread's start.)
MODELS=(
  "qemu-i386 pentium2 6 3 none 0123"
  "qemu-i386 pentium3 6 4 128 01234"
  "qemu-i386 qemu32,family=15 15 5 128 012345"
  "qemu-i386 qemu32,family=5 5 2 none 012345"
  "qemu-i386 qemu32,family=4 4 0 none 012345"
  "qemu-x86_64 Nehalem 6 4 128 012345"
  "qemu-x86_64 Haswell,-pcid,-x2apic,-tsc-deadline,-hle,-invpcid,-rtm 6 4 256 012345"
  "qemu-x86_64 EPYC,-rdseed,-sha-ni,-fxsr-opt,-misalignsse,-3dnowprefetch,-osvw,-topoext,-nrip-save,-xsavec 15 5 256 012345"
)

# info_is FAMILY CLASS WIDTH: halvex-tool info under the model says so.
info_is() {
  "$EMU" "$B/tools/halvex-tool/halvex-tool" info | tee "$RUN/info-$MODEL.txt"
  grep -qx "family: $1" "$RUN/info-$MODEL.txt" && grep -qx "class: $2" "$RUN/info-$MODEL.txt" &&
    grep -qx "variant: $2" "$RUN/info-$MODEL.txt" && grep -q "^width: $3 " "$RUN/info-$MODEL.txt"
}

# gtest PROGRAM [ARGS]: a test program under the model passes (exit 0), or
# skips only what the model lacks, saying so: the variants whose instructions
# it lacks, the register widths above its own (exit 77, the test programs'
# status for a run with skips).
gtest() {
  local lacks code skips said=0 w
  lacks=$(echo 0 1 2 3 4 5 | tr -d "$variants") && lacks=$(echo $lacks)
  "$EMU" "$@" > "$RUN/gtest.log" 2>&1
  code=$?
  grep -E '^\[  (PASSED|SKIPPED|FAILED) ' "$RUN/gtest.log" || tail -n 40 "$RUN/gtest.log"
  skips=$(grep -c ': Skipped$' "$RUN/gtest.log")
  [ -z "$lacks" ] || said=$(grep -c "^variants $lacks not run: " "$RUN/gtest.log")
  for w in 256 512; do
    [ "$width" != none ] && [ "$w" -le "$width" ] ||
      said=$((said + $(grep -c "^this processor or its system does not run the $w-bit bodies$" "$RUN/gtest.log")))
  done
  [ "$skips" = "$said" ] && if [ "$said" -gt 0 ]; then [ "$code" = 77 ]; else [ "$code" = 0 ]; fi
}

# refuses V: halvex-tool fft --variant V exits 2 with the reason, not on the
# first instruction the model lacks.
refuses() {
  "$EMU" "$B/tools/halvex-tool/halvex-tool" fft --order 1 --flags 1 --variant "$1" /dev/null 2> "$RUN/err"
  local code=$?
  cat "$RUN/err" && [ "$code" = 2 ] && grep -q "variant $1 needs SSE" "$RUN/err"
}

# same_bits: variants 4 and 5 through halvex-tool fft, orders 0 to 16 and four
# flag sets, give the same bits in the i686 build under this model as in the
# native x86-64 build (no x87 in them, and every width gives the same bits).
same_bits() {
  local v order flags count=0
  for order in $(seq 0 16); do
    perl -e 'srand($ARGV[0]); print pack("f<*", map { rand() * 2 - 1 } 1 .. 2 << $ARGV[0])' "$order" > "$RUN/in"
    for v in 4 5; do
      for flags in 1 2 18 129; do
        "$EMU" "$I686/tools/halvex-tool/halvex-tool" fft --order "$order" --flags "$flags" --variant "$v" "$RUN/in" "$RUN/a" &&
          "$NATIVE/tools/halvex-tool/halvex-tool" fft --order "$order" --flags "$flags" --variant "$v" "$RUN/in" "$RUN/b" &&
          cmp "$RUN/a" "$RUN/b" || { echo "variant $v order $order flags $flags differ"; return 1; }
        count=$((count + 1))
      done
    done
  done
  echo "$count outputs the same"
}

# shellcheck disable=SC2086
ensure_packages $PACKAGES_CPUS
rm -rf "$RUN" && mkdir -p "$LOGS" && : > "$RUN/results"
log "the i686 Linux build"
PREFIX=i686 step "cross build: halvex, halvex-tool and the fftlib test programs" eval 'cmake -S "$ROOT" -B "$I686" \
  -Wno-dev -DWERROR=ON -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/i686-linux-gnu.cmake" &&
  cmake --build "$I686" -j "$JOBS" --target halvex halvex-tool fftlib_engine_tests test_fftlib_frame'
for row in "${MODELS[@]}"; do
  read -r EMU MODEL family class width variants <<< "$row"
  export QEMU_CPU=$MODEL HALVEX_TEST_VARIANTS=$variants
  B=$I686 PREFIX="$EMU -cpu ${MODEL%%,-*}"
  [ "$EMU" = qemu-i386 ] || B=$NATIVE
  started=$(date +%s)
  step "halvex-tool info: family $family, class and variant $class, width $width" info_is "$family" "$class" "$width"
  for v in 4 5; do
    [[ $variants == *$v* ]] || step "halvex-tool fft --variant $v refused: the model lacks its instructions" refuses $v
  done
  step "the frame's tests (the library's own load binds variant $class; threads over variants $variants)" \
    gtest "$B/tests/fftlib_frame/test_fftlib_frame"
  step "the engine's tests, variants $variants, orders 0 to $HALVEX_TEST_LAST_ORDER" \
    gtest "$B/tests/fftlib_engine/fftlib_engine_tests" --gtest_filter=-*LargeOrders*
  if [ "$EMU" = qemu-x86_64 ]; then
    printf '#!/bin/sh\nexec %s "%s" "$@"\n' "$EMU" "$B/tools/halvex-tool/halvex-tool" > "$RUN/tool" && chmod +x "$RUN/tool"
    step "halvex-tool fft's rows (variants and widths as this processor allows)" \
      sh "$ROOT/tests/fftlib_engine/check_tool_fft.sh" "$RUN/tool"
  elif [ "$class" = 5 ]; then
    step "variants 4 and 5 give the same bits as the x86-64 build" same_bits
  fi
  echo "$PREFIX took $(($(date +%s) - started)) s"
done
results=$(cat "$RUN/results")
echo "cpus: $(grep -c ^PASS <<< "$results") passed, $(grep -c ^FAIL <<< "$results") failed, $(grep -c ^SKIP <<< "$results") skipped"
! grep -q ^FAIL <<< "$results"

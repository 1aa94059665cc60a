#!/usr/bin/env bash
# Every test of the project: native tests, the same under AddressSanitizer and
# UndefinedBehaviorSanitizer, the threaded tests under ThreadSanitizer, the
# fuzzers for a bounded time, halvex under emulated processors (the i686 Linux
# build among them), and both Windows cross builds (warnings are errors).
source "$(dirname "$0")/common.sh"
# shellcheck disable=SC2086
ensure_packages $PACKAGES_BASE
FUZZ_SECONDS=${FUZZ_SECONDS:-60}
status=0

log "native build and tests"
configure_build native -DWERROR=ON -DBUILD_TESTING=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo
ctest --test-dir "$BUILD/native" --output-on-failure -j "$JOBS" || status=1

log "AddressSanitizer + UndefinedBehaviorSanitizer"
configure_build asan -DWERROR=ON -DCMAKE_BUILD_TYPE=Debug -DCMAKE_C_COMPILER=clang \
  -DCMAKE_CXX_COMPILER=clang++ -DBUILD_TESTING=ON -DSANITIZE=address,undefined
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir "$BUILD/asan" --output-on-failure -j "$JOBS" -LE nosanitize || status=1

log "ThreadSanitizer (threaded tests)"
configure_build tsan -DWERROR=ON -DCMAKE_BUILD_TYPE=Debug -DCMAKE_C_COMPILER=clang \
  -DCMAKE_CXX_COMPILER=clang++ -DBUILD_TESTING=ON -DSANITIZE=thread
ctest --test-dir "$BUILD/tsan" --output-on-failure -j "$JOBS" -L threads || status=1

log "fuzzers, ${FUZZ_SECONDS}s each"
configure_build fuzz -DCMAKE_BUILD_TYPE=Debug -DCMAKE_C_COMPILER=clang \
  -DCMAKE_CXX_COMPILER=clang++ -DENABLE_FUZZERS=ON -DBUILD_TESTING=OFF
for fuzzer in "$BUILD"/fuzz/tests/fuzz/fuzz_*; do
  [ -x "$fuzzer" ] || continue
  name=$(basename "$fuzzer")
  corpus=$BUILD/fuzz/corpus-$name
  mkdir -p "$corpus"
  cp -r "$ROOT/tests/fuzz/seeds/${name#fuzz_}/." "$corpus/" 2>/dev/null || true
  echo "-- $name"
  "$fuzzer" -max_total_time="$FUZZ_SECONDS" -max_len=65536 -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 "$corpus" > "$BUILD/fuzz/$name.log" 2>&1 \
    || { tail -n 40 "$BUILD/fuzz/$name.log"; status=1; }
  grep -E '^stat::number_of_executed_units' "$BUILD/fuzz/$name.log" || true
done

log "halvex under emulated processors: the i686 Linux build, the dispatch and widths"
bash "$ROOT/scripts/test-cpus.sh" || status=1

log "Windows x86-64 cross build"
configure_build win64 -DWERROR=ON -DCMAKE_BUILD_TYPE=Release \
  -DBUILD_TESTING=ON -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64-x86_64.cmake" || status=1
log "Windows i686 cross build"
configure_build win32 -DWERROR=ON -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=ON \
  -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64-i686.cmake" || status=1
if [ -x "$ROOT/scripts/test-windows.sh" ]; then
  log "Windows builds: inspection and runs under Wine"
  "$ROOT/scripts/test-windows.sh" || status=1
fi

if [ $status -eq 0 ]; then log "all tests passed"; else log "SOME TESTS FAILED"; fi
exit $status

#!/usr/bin/env bash
# check_install.sh BUILD WORK CC RUNS [TOOLCHAIN [EMULATOR...]]: installs BUILD
# with cmake --install into WORK/prefix and builds against that copy alone,
# outside the tree's CMake: tests/dist/consumer through find_package(halvex),
# its consumer.c again with CC and pkg-config's flags, and docs/api_example.c
# (run-time loading), which docs/api.md must show as it is. Then runs all
# three (RUNS=example: the example only).
# A cross build's programs run under EMULATOR; without one: exit 77 (skipped).
set -euo pipefail
build=$1 work=$2 cc=$3 runs=$4 toolchain=${5:-} emulator=("${@:6}")
src=$(cd "$(dirname "$0")/../.." && pwd) prefix=$work/prefix exe=${toolchain:+.exe}
winpath() { printf 'Z:%s' "$1" | tr / '\\'; }
# docs/api.md shows the example as it is.
diff <(awk '/^<!-- the file docs\/api_example.c/ { on = 1; getline; next } on && /^```$/ { exit } on' \
  "$src/docs/api.md") "$src/docs/api_example.c"
rm -rf "${work:?}/prefix" "$work/cmake"
cmake --install "$build" --prefix "$prefix" > /dev/null
cmake -S "$src/tests/dist/consumer" -B "$work/cmake" -DCMAKE_PREFIX_PATH="$prefix" \
  ${toolchain:+"-DCMAKE_TOOLCHAIN_FILE=$toolchain" "-Dhalvex_DIR=$prefix/lib/cmake/halvex"} > /dev/null
cmake --build "$work/cmake" > /dev/null
strict=(-std=c99 -Wall -Wextra -Wpedantic -Werror)
# shellcheck disable=SC2046  # (pkg-config's flags are words)
"$cc" "${strict[@]}" "$src/tests/dist/consumer/consumer.c" -o "$work/consumer-pc$exe" \
  $(PKG_CONFIG_LIBDIR=$prefix/lib/pkgconfig pkg-config --cflags --libs halvex)
"$cc" "${strict[@]}" -I "$prefix/include" "$src/docs/api_example.c" -o "$work/example$exe" $([ -n "$toolchain" ] || echo -ldl)
if [ -z "$toolchain" ]; then
  export LD_LIBRARY_PATH=$prefix/lib library=$prefix/lib/libhalvex.so
else
  [ ${#emulator[@]} -gt 0 ] || { echo "SKIP: built, but no emulator set to run the cross build's programs"; exit 77; }
  export WINEPATH=$(winpath "$prefix/bin") library=$(winpath "$prefix/bin/halvex.dll")
fi
[ "$runs" = example ] || { "${emulator[@]}" "$work/cmake/consumer$exe" && "${emulator[@]}" "$work/consumer-pc$exe"; }
"${emulator[@]}" "$work/example$exe" "$library"

#!/usr/bin/env bash
# check_install.sh BUILD WORK CC [TOOLCHAIN [EMULATOR...]]: cmake --install of BUILD into
# WORK/prefix; against that copy alone, outside the tree's CMake, the caller project consumer/
# (find_package), its consumer.c with CC and pkg-config's flags, and docs/api_example.c, which
# docs/api.md must show as it is. Runs all three, a cross build's under EMULATOR (without one
# they are only built: exit 77, skipped); i686's, which may need a slow emulator, the example only.
set -euo pipefail
build=$1 work=$2 cc=$3 toolchain=${4:-} emulator=("${@:5}")
src=$(cd "$(dirname "$0")/../.." && pwd) prefix=$work/prefix exe=${toolchain:+.exe}
winpath() { printf 'Z:%s' "$1" | tr / '\\'; }
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
[[ $toolchain == *i686* ]] || { "${emulator[@]}" "$work/cmake/consumer$exe" && "${emulator[@]}" "$work/consumer-pc$exe"; }
"${emulator[@]}" "$work/example$exe" "$library"

#!/usr/bin/env bash
# package.sh [PACKAGE_DIR]: the package a plug-in vendor ships, made from
# PACKAGE_DIR (default examples/, the example package): setup.exe, the script
# set/version.psc and the licences it names (both with CR LF line ends), and
# the files its Variants install, byte for byte with their dates, halvex.dll
# always the build's own. psc-check checks the script first: a script that does
# not load, or a listed file that is missing, stops it with the reason. Writes
# build/dist/NAME/ and build/dist/NAME.zip, NAME being PACKAGE_DIR's name.
#
# It builds what it needs: setup.exe and halvex.dll in the i686 cross build
# (build/win32, configured as the test command configures it, so the two share
# it) and psc-check in build/product (as the demo configures it). Overrides:
# DIST (the output folder), DIST_BUILD (a Windows build whose setup.exe and
# halvex.dll are taken as they are), PSC_CHECK (a psc-check program).
source "$(dirname "$0")/common.sh"

fail() {
  echo "package.sh: $*; nothing was packed" >&2
  exit 1
}

source_dir=$(cd "${1:-$ROOT/examples}" && pwd) || fail "no folder ${1:-}"
name=$(basename "$source_dir")
DIST=${DIST:-$BUILD/dist}
ensure_packages zip jq
if [ -z "${DIST_BUILD:-}" ]; then
  # shellcheck disable=SC2086
  ensure_packages $PACKAGES_BASE
  log "i686 cross build: setup.exe and halvex.dll"
  DIST_BUILD=$BUILD/win32
  cmake -S "$ROOT" -B "$DIST_BUILD" -Wno-dev -DWERROR=ON -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=ON \
    -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64-i686.cmake" > /dev/null
  cmake --build "$DIST_BUILD" -j "$JOBS" --target setup halvex
fi
if [ -z "${PSC_CHECK:-}" ]; then
  log "psc-check"
  cmake -S "$ROOT" -B "$BUILD/product" -Wno-dev -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF > /dev/null
  cmake --build "$BUILD/product" -j "$JOBS" --target psc-check
  PSC_CHECK=$BUILD/product/tools/psc-check/psc-check
fi
setup=$DIST_BUILD/installer/setup.exe dll=$DIST_BUILD/fftlib/halvex.dll
for f in "$setup" "$dll"; do
  [ -f "$f" ] || fail "$f is missing"
done

log "checking $source_dir/set/version.psc"
cd "$source_dir"
# (setup opens set//version.psc from its current folder; so does psc-check.)
"$PSC_CHECK" || fail "the script does not load (see above)"
# What setup reads from the package: each Variant's licence and the files it
# copies (install policy doInstall, target progdir or plugdir), each as its
# source folder followed by its name.
listed=$("$PSC_CHECK" --json | jq -r '.. | objects | select(has("files") and has("license")) |
  (.files[] | select(.[4] == "doInstall" and (.[2] == "progdir" or .[2] == "plugdir")) | "file\t\(.[1] + .[0])"),
  (.license[0][0] // "" | select(. != "") | "licence\t\(.)")' | sort -u)
dll_path='(^|/)halvex\.dll$'  # (any letter case, as Windows finds it)
missing=()
while IFS=$'\t' read -r kind path; do
  [ -n "$path" ] || continue
  rel=${path//\\//}
  case $rel in
    /* | ?:* | .. | ../* | */.. | */../*) fail "the script names \"$path\", which lies outside the package" ;;
  esac
  [[ $kind == file && ${rel,,} =~ $dll_path ]] || [ -f "$rel" ] || missing+=("\"$path\"")
done <<< "$listed"
[ ${#missing[@]} -eq 0 ] || fail "the script names files that $source_dir lacks: ${missing[*]}"

log "packing $DIST/$name"
out=$DIST/$name
rm -rf "$out" "$DIST/$name.zip"
mkdir -p "$out"
cp -p "$setup" "$out/setup.exe"
# with_crlf FILE: FILE into the package with CR LF line ends, the way a text
# file ships for Windows (the licence page's edit control needs them).
with_crlf() {
  mkdir -p "$(dirname "$out/$1")" && sed 's/\r*$/\r/' "$1" > "$out/$1" && touch -r "$1" "$out/$1"
}
with_crlf set/version.psc
while IFS=$'\t' read -r kind path; do
  [ -n "$path" ] || continue
  rel=${path//\\//}
  mkdir -p "$(dirname "$out/$rel")"
  if [ "$kind" = licence ]; then
    with_crlf "$rel"
  elif [[ ${rel,,} =~ $dll_path ]]; then
    cp -p "$dll" "$out/$rel"
  else
    cp -p "$rel" "$out/$rel"
  fi
done <<< "$listed"
(cd "$DIST" && zip -qrXD "$name.zip" "$name")
(cd "$out" && find . -type f | sed 's|^\./|  |' | LC_ALL=C sort)
echo "package: $out"
echo "zip: $DIST/$name.zip"

#!/bin/sh
# The whole program on Linux: the example package installs into the two hosts
# of a registry hive, and every page, question and report is in the transcript.
# Usage: setup_hive.sh <setup program> <example package folder>
set -eu
setup=$1
package=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -r "$package" "$work/pkg"
echo "engine" > "$work/pkg/bin/halvex.dll"
mkdir -p "$work/pc6/Plug-ins" "$work/pc7/Plug-ins"
echo old > "$work/pc6/prismafold-presets.dat"
echo old > "$work/pc7/prismafold-presets.dat"
cat > "$work/hive.reg" <<HIVE
Windows Registry Editor Version 5.00

[HKEY_LOCAL_MACHINE\\SOFTWARE\\Orrery Software\\PhotoCraft\\6.0\\PluginPath]
@="$work/pc6/Plug-ins"

[HKEY_LOCAL_MACHINE\\SOFTWARE\\Orrery Software\\PhotoCraft\\6.0\\ApplicationPath]
@="$work/pc6/"

[HKEY_LOCAL_MACHINE\\SOFTWARE\\Orrery Software\\PhotoCraft\\7.0\\PluginPath]

[HKEY_LOCAL_MACHINE\\SOFTWARE\\Orrery Software\\PhotoCraft\\7.0]
"ApplicationPath"="$work/pc7"
HIVE

# Welcome, edition, components, licence, hosts; remove the old presets from the
# first host but not from the second; close the report page.
(cd "$work/pkg" && printf 'next\nnext\nnext\nnext\nnext\nyes\nno\nnext\n' |
  SETUP_REGISTRY="$work/hive.reg" "$setup" > "$work/transcript" 2>&1)

fail=0
expect() {
  grep -qF -- "$1" "$work/transcript" || { echo "missing in transcript: $1"; fail=1; }
}
expect "check 1: [x] $work/pc6/"
expect "check 2: [x] $work/pc7"
expect "== box \"Prismafold FFT Filters 2.1 Setup - Full edition\" icon=question buttons=yesno default=yes"
expect "== cursor arrow"
expect "heading: Prismafold FFT Filters has been installed into 2 Orrery PhotoCraft installations."
[ "$(grep -c '^== box' "$work/transcript")" -eq 2 ] || { echo "expected two questions"; fail=1; }
for f in pc6/Plug-ins/Filters/prismafold.8bf pc6/Plug-ins/Filters/prismafold-presets.dat pc6/halvex.dll \
         pc6/prismafold-manual.txt pc7/Plug-ins/Filters/prismafold.8bf pc7/halvex.dll \
         pc7/prismafold-presets.dat; do
  [ -f "$work/$f" ] || { echo "not installed: $f"; fail=1; }
done
[ ! -e "$work/pc6/prismafold-presets.dat" ] || { echo "old copy not removed"; fail=1; }
[ $fail -eq 0 ] || cat "$work/transcript"
exit $fail

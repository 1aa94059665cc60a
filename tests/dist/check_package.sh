#!/usr/bin/env bash
# check_package.sh PSC_CHECK WORK: scripts/package.sh on the example package (stand-ins for
# setup.exe and halvex.dll): the zip holds exactly what setup reads, the script with CR LF
# line ends; then each refusal names its reason and leaves no zip.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd) work=$2
rm -rf "${work:?}"/* && mkdir -p "$work/build/installer" "$work/build/fftlib"
touch "$work/build/installer/setup.exe" "$work/build/fftlib/halvex.dll"
pack() { DIST=$work/dist DIST_BUILD=$work/build PSC_CHECK=$1 bash "$root/scripts/package.sh" "${@:2}"; }
pack "$1" > /dev/null
diff <(unzip -Z1 "$work/dist/examples.zip" | sort) <(printf 'examples/%s\n' bin/halvex.dll docs/prismafold-manual.txt \
  files/prismafold-presets.dat files/prismafold.8bf license.txt set/version.psc setup.exe)
script=$(unzip -p "$work/dist/examples.zip" examples/set/version.psc)
grep -qv $'\r$' <<< "$script" && { echo "set/version.psc has lines without CR"; exit 1; }
# (A file that only the removal Variant names, from a folder the package lacks, is not missing.)
cp -r "$root/examples" "$work/missing" && rm "$work/missing/files/prismafold.8bf"
sed -i 's/"files\\" \("plugdir" "Ask" "doNotInstall"\)/"gone\\" \1/' "$work/missing/set/version.psc"
cp -r "$root/examples" "$work/broken" && sed -i 's/"3.0"/"3.00"/' "$work/broken/set/version.psc"
for refusal in 'missing:lacks: "files\prismafold.8bf";' 'broken:the script does not load'; do
  if out=$(pack "$1" "$work/${refusal%%:*}" 2>&1) || ! grep -qF "${refusal#*:}" <<< "$out" ||
    [ -e "$work/dist/${refusal%%:*}.zip" ]; then
    echo "not refused as expected: ${refusal%%:*}"$'\n'"$out" && exit 1
  fi
done

#!/usr/bin/env bash
# The demo: builds the product and shows it at work on the example package.
#
# Everything it writes lies under $BUILD/demo, which is made afresh on every
# run: a copy of the example package, a few imitated host installations and
# the registry hive that registers them. setup runs in the package copy; in a
# terminal you walk its pages yourself, otherwise a fixed list of answers is
# piped in and the transcript shows what the pages said.
source "$(dirname "$0")/common.sh"
# shellcheck disable=SC2086
ensure_packages $PACKAGES_BASE
log "building"
configure_build product -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=OFF
NATIVE=$BUILD/product
SETUP=$NATIVE/installer/setup
HALVEX=$NATIVE/fftlib/libhalvex.so
PLUGIN_DEMO=$NATIVE/tools/plugin-demo/plugin-demo

DEMO=$BUILD/demo
PACKAGE=$DEMO/package
HOSTS=$DEMO/hosts
HIVE=$DEMO/registry.reg
HOSTKEY='HKEY_LOCAL_MACHINE\SOFTWARE\Orrery Software\PhotoCraft'

log "laying out the demo in $DEMO"
rm -rf "$DEMO"
mkdir -p "$DEMO"
cp -R "$ROOT/examples" "$PACKAGE"
rm -f "$PACKAGE/bin/halvex.dll"
# The script ships halvex.dll; the library built here is the Linux one, so
# the package carries libhalvex.so under the file name the script lists.
cp "$HALVEX" "$PACKAGE/bin/halvex.dll"
echo "package: $PACKAGE"
echo "  bin/halvex.dll is libhalvex.so of this Linux build under the package's file name"

# Three imitated host installations, each with its program file:
#   PhotoCraft 6   plug-in folder registered, Filters folder present, and an
#                  older Prismafold installation (engine, filter, manual);
#   PhotoCraft 7   plug-in folder registered, its Filters folder missing;
#   PhotoCraft 8   no plug-in folder at all (only the application is registered).
mkdir -p "$HOSTS/PhotoCraft 6/Plug-ins/Filters" "$HOSTS/PhotoCraft 7/Plug-ins" "$HOSTS/PhotoCraft 8"
for host in 6 7 8; do
  printf 'PhotoCraft %s (imitation)\n' "$host" >"$HOSTS/PhotoCraft $host/PhotoCraft.exe"
done
old="$HOSTS/PhotoCraft 6"
printf 'old FFT engine 1.0\n' >"$old/halvex.dll"
printf 'old Prismafold filter 1.0\n' >"$old/Plug-ins/Filters/prismafold.8bf"
printf 'Prismafold 1.0 manual\n' >"$old/prismafold-manual.txt"
touch -d '2019-07-05 09:30' "$old/halvex.dll" "$old/Plug-ins/Filters/prismafold.8bf" \
  "$old/prismafold-manual.txt"

# A .reg string holds backslashes and quotes escaped.
reg_string() { local s=${1//\\/\\\\}; printf '"%s"' "${s//\"/\\\"}"; }
{
  echo 'Windows Registry Editor Version 5.00'
  echo
  echo '; PhotoCraft 5.5 was uninstalled: its key is left without a plug-in key,'
  echo '; so it leads nowhere and setup does not offer it.'
  printf '[%s\\5.5]\n' "$HOSTKEY"
  echo "\"ApplicationPath\"=$(reg_string "$DEMO/hosts/PhotoCraft 5.5")"
  echo
  for host in 6 7; do
    printf '[%s\\%s.0\\PluginPath]\n' "$HOSTKEY" "$host"
    echo "@=$(reg_string "$HOSTS/PhotoCraft $host/Plug-ins")"
    printf '[%s\\%s.0\\ApplicationPath]\n' "$HOSTKEY" "$host"
    echo "@=$(reg_string "$HOSTS/PhotoCraft $host")"
    echo
  done
  echo '; PhotoCraft 8 registers no plug-in folder: its PluginPath key has no value.'
  printf '[%s\\8.0\\PluginPath]\n[%s\\8.0]\n' "$HOSTKEY" "$HOSTKEY"
  echo "\"ApplicationPath\"=$(reg_string "$HOSTS/PhotoCraft 8")"
} >"$HIVE"
echo "registry hive: $HIVE"
sed 's/^/  | /' "$HIVE"

# The tree of the imitated hosts, one line per file with its size and date.
list_hosts() {
  (cd "$HOSTS" && find . -mindepth 1 | LC_ALL=C sort | while read -r path; do
    if [ -d "$path" ]; then
      printf '  %s/\n' "${path#./}"
    else
      printf '  %-52s %6s bytes  %s\n' "${path#./}" "$(stat -c %s "$path")" \
        "$(date -r "$path" '+%Y-%m-%d %H:%M')"
    fi
  done)
}
log "the host installations before setup"
list_hosts

log "checking the example package's script"
cd "$PACKAGE" || exit 1
"$NATIVE/tools/psc-check/psc-check"

log "running setup in $PACKAGE (SETUP_REGISTRY=$HIVE)"
if [ -t 0 ]; then
  echo "Answer each page with next, back, cancel, radio N or check N;"
  echo "message boxes with yes or no (an empty line takes the default)."
  status=0
  SETUP_REGISTRY=$HIVE "$SETUP" || status=$?
else
  # Welcome, edition (Full edition), components (Filters, presets and
  # manual), licence (I Agree), hosts (all three checked); then the removal
  # question of the presets for each host and the overwrite question of the
  # old manual in PhotoCraft 6, all answered yes; Finish.
  answers='next\nnext\nnext\nnext\nnext\nyes\nyes\nyes\nyes\nnext\n'
  echo "no terminal: piping the answers"
  printf '%b' "$answers" | sed 's/^/  > /'
  echo "transcript:"
  transcript=$(printf '%b' "$answers" | SETUP_REGISTRY=$HIVE "$SETUP") && status=0 || status=$?
  printf '%s\n' "$transcript" | sed 's/^/  | /'
fi
echo "setup exited with code $status"

log "what setup installed where"
list_hosts
echo "PhotoCraft 6: the older Prismafold files were removed or replaced, the filters went into"
echo "  its registered plug-in folder's Filters folder. PhotoCraft 7: setup created the missing"
echo "  Filters folder. PhotoCraft 8 registers no plug-in folder and has none, so the filter"
echo "  files went into its application folder. PhotoCraft 5.5 led nowhere and was not offered."

log "loading halvex the way the plug-in does"
engine="$HOSTS/PhotoCraft 6/halvex.dll"
if cmp -s "$engine" "$PACKAGE/bin/halvex.dll"; then
  echo "The script installs halvex.dll into the host's application folder (\"progdir\"), next to"
  echo "the host program, where the filter plug-in's loader finds it; plugin-demo loads it from"
  echo "there by path, as the plug-in does, and calls kfxcrFftNip."
  echo "plugin-demo \"$engine\""
  "$PLUGIN_DEMO" "$engine"
else
  echo "PhotoCraft 6 has no newly installed halvex.dll (the installation was not completed)"
fi

#!/usr/bin/env bash
# The Windows builds for real: inspects both cross builds (export and import
# tables, resources, the manifest) and runs the x86-64 build under wine64 in a
# fresh Wine prefix on its own Xvfb display: the cross build's tests, the
# platform tests against Wine's registry and file system, halvex.dll loaded at
# run time, the wizard dialog, and setup.exe driven end to end through the
# example package, with a screenshot of every page.
# Called by scripts/test.sh after it has built $BUILD/win64 and $BUILD/win32.
# Prints one line with PASS or FAIL per step and ends with the line
# "windows: N passed, M failed"; exits non-zero when any step failed.
source "$(dirname "$0")/common.sh"
set +e
ensure_packages wine wine64 xvfb imagemagick || { echo "windows: 0 passed, 1 failed"; exit 1; }

W64=${WIN64_BUILD:-$BUILD/win64}
W32=${WIN32_BUILD:-$BUILD/win32}
WINE=/usr/lib/wine/wine64
OBJDUMP32=i686-w64-mingw32-objdump
OBJDUMP64=x86_64-w64-mingw32-objdump
RUN=$W64/windows-run
SHOTS=$W64/screenshots
LOGS=$RUN/logs
export WINEPREFIX=$W64/wineprefix WINEDEBUG=-all TZ=UTC
unset WINEARCH
passed=0
failed=0
started=$(date +%s)

# step NAME COMMAND...: runs one step, its output into a log; PASS or FAIL
# with the log's tail on failure.
step() {
  local name=$1; shift
  local log
  log=$LOGS/$(printf '%02d' $((passed + failed + 1)))-$(echo "$name" | tr -c 'A-Za-z0-9._-' '_' | cut -c1-60).log
  if "$@" > "$log" 2>&1; then
    passed=$((passed + 1))
    printf 'PASS  %s\n' "$name"
  else
    failed=$((failed + 1))
    printf 'FAIL  %s (log: %s)\n' "$name" "$log"
    tail -n 25 "$log" | sed 's/^/      | /'
  fi
}

# A Linux path as Wine sees it through drive Z:.
winpath() { printf 'Z:%s' "$1" | tr '/' '\\'; }

# The same with each backslash doubled, for .reg files.
regpath() { winpath "$1" | sed 's/\\/\\\\/g'; }

rm -rf "$RUN" "$SHOTS"
mkdir -p "$LOGS" "$SHOTS"

for f in "$W64/installer/setup.exe" "$W32/installer/setup.exe" "$W64/fftlib/halvex.dll" "$W32/fftlib/halvex.dll"; do
  [ -f "$f" ] || { echo "FAIL  $f is missing: build $W64 and $W32 first"; echo "windows: 0 passed, 1 failed"; exit 1; }
done

# ---------------------------------------------------------------- inspection

# The DLLs a Windows program or library may import: the system's own and the
# C runtime that Windows ships (no compiler runtime DLLs).
allowed_imports() {  # allowed_imports FILE OBJDUMP
  local dlls bad
  dlls=$("$2" -p "$1" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'a-z' 'A-Z' | sort -u)
  echo "imports of $1:"; echo "$dlls"
  [ -n "$dlls" ] || { echo "no import table"; return 1; }
  bad=$(echo "$dlls" | grep -Ev '^(KERNEL32|USER32|GDI32|ADVAPI32|COMDLG32|SHELL32|COMCTL32|MSVCRT|NTDLL)\.DLL$|^API-MS-WIN-CRT-[A-Z0-9-]+\.DLL$')
  [ -z "$bad" ] || { echo "not a system DLL: $bad"; return 1; }
}

# i686 halvex.dll: one export, kfxcrFftNip, undecorated; stdcall bodies.
i686_exports() {
  local names
  names=$($OBJDUMP32 -p "$W32/fftlib/halvex.dll" | sed -n '/^\[Ordinal\/Name Pointer\] Table/,/^$/p' |
    sed -n 's/^[[:space:]]*\[[[:space:]]*[0-9]*\][[:space:]]*//p')
  echo "export names: $names"
  [ "$names" = "kfxcrFftNip" ] || return 1
  local caller=$W32/fftlib/halvex-stdcall-caller.exe
  [ -f "$caller" ] || caller=""
  bash "$ROOT/tests/fftlib_frame/check_dll_exports.sh" "$W32/fftlib/halvex.dll" $OBJDUMP32 $caller
}

# The manifest resource (RT_MANIFEST 1) of setup.exe: common controls 6 and
# requireAdministrator.
manifest_in() {  # manifest_in SETUP.EXE WINDRES
  local rc
  rc=$("$2" --input-format=coff -i "$1" -O rc) || return 1
  # (Here-strings, not pipes: grep -q leaves early, and with pipefail the
  # writer's broken pipe would count as a failure.)
  grep -q '^1 24 ' <<< "$rc" || { echo "no RT_MANIFEST resource 1"; return 1; }
  # windres prints the manifest as C strings with doubled quotes.
  local text
  text=$(sed -n '/^1 24 /,/^END/p' <<< "$rc" | sed 's/""/"/g')
  echo "$text"
  grep -q 'Microsoft.Windows.Common-Controls' <<< "$text" &&
    grep -q 'version="6.0.0.0"' <<< "$text" &&
    grep -q 'requestedExecutionLevel level="requireAdministrator"' <<< "$text"
}

log "Windows builds: inspection"
step "i686 halvex.dll exports kfxcrFftNip only (undecorated, stdcall bodies)" i686_exports
step "i686 halvex.dll imports only system DLLs" allowed_imports "$W32/fftlib/halvex.dll" $OBJDUMP32
step "i686 halvex.dll: no SSE or MMX outside variants 4 and 5" bash "$ROOT/tests/fftlib_engine/check_i686_sse.sh" "$W32/fftlib/halvex.dll" --objdump $OBJDUMP32
step "i686 setup.exe imports only system DLLs" allowed_imports "$W32/installer/setup.exe" $OBJDUMP32
step "x86-64 halvex.dll imports only system DLLs" allowed_imports "$W64/fftlib/halvex.dll" $OBJDUMP64
step "x86-64 setup.exe imports only system DLLs" allowed_imports "$W64/installer/setup.exe" $OBJDUMP64
caller64=$W64/fftlib/halvex-stdcall-caller.exe
[ -f "$caller64" ] || caller64=""
step "x86-64 halvex.dll export table" bash "$ROOT/tests/fftlib_frame/check_dll_exports.sh" "$W64/fftlib/halvex.dll" $OBJDUMP64 $caller64
step "x86-64 setup.exe carries its manifest" manifest_in "$W64/installer/setup.exe" x86_64-w64-mingw32-windres
step "i686 setup.exe carries its manifest" manifest_in "$W32/installer/setup.exe" i686-w64-mingw32-windres
for exe in "$W64/installer/setup.exe" "$W32/installer/setup.exe" \
           "$W64/installer/resources/wizard-resources-check.exe" "$W32/installer/resources/wizard-resources-check.exe"; do
  step "resources of ${exe#"$BUILD"/}" sh "$ROOT/tests/wizard/check_resources.sh" "$exe"
done

# ---------------------------------------------------------------- Wine

log "Windows x86-64 build under wine64"
# A display of our own: the first free number from 90.
display=""
for n in $(seq 90 199); do
  if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then display=:$n; break; fi
done
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp > "$LOGS/xvfb.log" 2>&1 &
xvfb=$!
export DISPLAY=$display
cleanup() {
  wineserver -k 2>/dev/null || true
  kill "$xvfb" 2>/dev/null || true
}
trap cleanup EXIT
wineserver_kill() { wineserver -k 2>/dev/null; wineserver -w 2>/dev/null; true; }
sleep 1
step "Xvfb on display $display" kill -0 "$xvfb"

# (Without the Mono and Gecko installers, which would wait for an answer.)
fresh_prefix() {
  rm -rf "$WINEPREFIX"
  WINEDLLOVERRIDES="mscoree,mshtml=" timeout 300 "$WINE" wineboot -i && wineserver -w &&
    [ -f "$WINEPREFIX/system.reg" ]
}
step "fresh Wine prefix ($WINEPREFIX)" fresh_prefix

# The cross build's own tests, each Windows program under wine64.
cross_ctests() {
  cmake -S "$ROOT" -B "$W64" -DCMAKE_CROSSCOMPILING_EMULATOR="$WINE" > /dev/null || return 1
  ctest --test-dir "$W64" --output-on-failure -j 2 --timeout 900
}
step "ctest of the x86-64 cross build under wine64" cross_ctests

# Again with a time zone that is not UTC, for the local file dates.
wineserver_kill
step "registry, file system and dates against Wine in Europe/Berlin (engine_platform_tests.exe)" \
  env TZ=Europe/Berlin timeout 300 "$WINE" "$W64/tests/engine/engine_platform_tests.exe"
wineserver_kill
step "wizard_tests.exe (dialog layout)" timeout 300 "$WINE" "$W64/tests/wizard/wizard_tests.exe"
step "halvex.dll through LoadLibraryA/GetProcAddress, threads before and after the load" \
  timeout 300 "$WINE" "$W64/tests/windows/halvex-caller.exe" "$(winpath "$W64/fftlib/halvex.dll")"

# ---------------------------------------------------------------- setup.exe

# The example package in a scratch directory, as it would ship for Windows
# (CRLF line ends), with the built halvex.dll in bin\ and fixed file dates.
make_package() {  # make_package DIR [lf]
  local dir=$1
  rm -rf "$dir" && mkdir -p "$dir" && cp -r "$ROOT/examples/." "$dir/" || return 1
  cp "$W64/fftlib/halvex.dll" "$dir/bin/halvex.dll" || return 1
  if [ "${2:-}" != lf ]; then
    sed -i 's/\r*$/\r/' "$dir/set/version.psc" "$dir/license.txt" || return 1
  fi
  touch -d '2026-03-04 05:06' "$dir/bin/halvex.dll"
  touch -d '2025-01-08 09:10' "$dir/docs/prismafold-manual.txt"
  touch -d '2025-11-12 13:14' "$dir/files/prismafold.8bf" "$dir/files/prismafold-presets.dat"
}

HOSTS=$RUN/hosts
HOST1=$HOSTS/PhotoCraft\ 6
HOST2=$HOSTS/PhotoCraft\ 7
PACKAGE=$RUN/package

# Two registered hosts: one with both directories as keys' default values,
# one with its application directory as a value of its own key.
register_hosts() {
  mkdir -p "$HOST1/Plug-ins" "$HOST2/Plug-ins" || return 1
  local key='HKEY_LOCAL_MACHINE\SOFTWARE\Orrery Software\PhotoCraft'
  {
    printf 'Windows Registry Editor Version 5.00\r\n\r\n'
    printf '[%s\\6.0\\PluginPath]\r\n@="%s"\r\n\r\n' "$key" "$(regpath "$HOST1/Plug-ins")"
    printf '[%s\\6.0\\ApplicationPath]\r\n@="%s"\r\n\r\n' "$key" "$(regpath "$HOST1")"
    printf '[%s\\7.0]\r\n"ApplicationPath"="%s\\\\"\r\n\r\n' "$key" "$(regpath "$HOST2")"
    printf '[%s\\7.0\\PluginPath]\r\n@="%s\\\\"\r\n' "$key" "$(regpath "$HOST2/Plug-ins")"
  } > "$RUN/hosts.reg"
  cat "$RUN/hosts.reg"
  "$WINE" reg import "$(winpath "$RUN/hosts.reg")" &&
    "$WINE" reg query 'HKLM\SOFTWARE\Orrery Software\PhotoCraft' /s
}

# drive SCENARIO PACKAGE ARGS...: runs setup-driver.exe (which starts
# setup.exe) in Wine's virtual desktop, answers its screenshot requests with
# import and convert, and passes when the driver reports "RESULT ok".
drive() {
  local scenario=$1 package=$2; shift 2
  local requests=$RUN/requests-$scenario result=$LOGS/driver-$scenario.log
  rm -rf "$requests" && mkdir -p "$requests"
  rm -f "$result"
  "$WINE" explorer /desktop=setup,1024x768 "$(winpath "$W64/tests/windows/setup-driver.exe")" "$scenario" \
    "$(winpath "$W64/installer/setup.exe")" "$(winpath "$package")" "$(winpath "$requests")" \
    "$(winpath "$result")" "$@" &
  local wine_pid=$! deadline=$(( $(date +%s) + 240 ))
  while [ "$(date +%s)" -lt "$deadline" ]; do
    if [ -f "$requests/request.txt" ]; then
      local name w h x y
      read -r name w h x y < "$requests/request.txt"
      import -window root -display "$DISPLAY" "$requests/full.png" &&
        convert "$requests/full.png" -crop "${w}x${h}+${x}+${y}" +repage "$SHOTS/$scenario-$name.png"
      echo "screenshot $scenario-$name.png (${w}x${h} at $x,$y)"
      rm -f "$requests/request.txt"
    fi
    grep -q '^RESULT' "$result" 2>/dev/null && break
    kill -0 "$wine_pid" 2>/dev/null || { sleep 1; break; }
    sleep 0.2
  done
  sleep 1
  kill "$wine_pid" 2>/dev/null
  wait "$wine_pid" 2>/dev/null
  cat "$result" 2>/dev/null || echo "no driver log"
  grep -q '^RESULT ok' "$result" 2>/dev/null
}

# same_file A B: equal contents.
same_file() { cmp -s "$1" "$2" || { echo "differs: $1 vs $2"; return 1; }; }

# Exactly these files (relative paths) under a directory.
files_are() {  # files_are DIR PATH...
  local dir=$1; shift
  local seen want
  seen=$(cd "$dir" && find . -type f | sed 's|^\./||' | sort)
  want=$(printf '%s\n' "$@" | sort)
  echo "files under $dir:"; echo "$seen"
  [ "$seen" = "$want" ] || { echo "expected:"; echo "$want"; return 1; }
}

installed_full() {  # installed_full HOST
  files_are "$1" halvex.dll prismafold-manual.txt Plug-ins/Filters/prismafold.8bf \
      Plug-ins/Filters/prismafold-presets.dat &&
    same_file "$PACKAGE/bin/halvex.dll" "$1/halvex.dll" &&
    same_file "$PACKAGE/docs/prismafold-manual.txt" "$1/prismafold-manual.txt" &&
    same_file "$PACKAGE/files/prismafold.8bf" "$1/Plug-ins/Filters/prismafold.8bf" &&
    same_file "$PACKAGE/files/prismafold-presets.dat" "$1/Plug-ins/Filters/prismafold-presets.dat" &&
    [ "$(stat -c %Y "$1/halvex.dll")" = "$(stat -c %Y "$PACKAGE/bin/halvex.dll")" ] ||
    { echo "halvex.dll in $1 lacks the package's date"; return 1; }
}

step "example package in a scratch directory" make_package "$PACKAGE"
step "two hosts registered with reg import" register_hosts
step "setup: cancel on the welcome page, question answered No then Yes" drive cancel "$PACKAGE"
step "setup: cancel left the hosts empty" files_are "$HOSTS"
step "setup: complete installation into two hosts (every page checked and photographed)" \
  drive install "$PACKAGE" "$(winpath "$HOST1")" "$(winpath "$HOST2")"
step "setup: installed files in host 1" installed_full "$HOST1"
step "setup: installed files in host 2" installed_full "$HOST2"

# The trial edition over the full one: host 1's halvex.dll older and its
# filter changed locally with the package's date; host 2 marked so that it
# can be seen untouched.
prepare_overwrite() {
  touch -d '2001-02-03 04:05' "$HOST1/halvex.dll" &&
    echo "changed filter" > "$HOST1/Plug-ins/Filters/prismafold.8bf" &&
    touch -r "$PACKAGE/files/prismafold.8bf" "$HOST1/Plug-ins/Filters/prismafold.8bf" &&
    echo "host 2" > "$HOST2/halvex.dll"
}
overwrite_result() {
  same_file "$PACKAGE/bin/halvex.dll" "$HOST1/halvex.dll" &&
    [ "$(stat -c %Y "$HOST1/halvex.dll")" = "$(stat -c %Y "$PACKAGE/bin/halvex.dll")" ] &&
    [ "$(cat "$HOST1/Plug-ins/Filters/prismafold.8bf")" = "changed filter" ] &&
    same_file "$PACKAGE/docs/prismafold-manual.txt" "$HOST1/prismafold-manual.txt" &&
    [ "$(cat "$HOST2/halvex.dll")" = "host 2" ]
}
step "setup: prepare an older halvex.dll in host 1" prepare_overwrite
step "setup: trial over the full edition in host 1, with the overwrite questions" \
  drive overwrite "$PACKAGE" "$(winpath "$HOST1")" "$(winpath "$HOST2")"
step "setup: Yes replaced the older halvex.dll, No kept the filter, host 2 untouched" overwrite_result

# No registered host: the file-open dialog picks the host's program file.
NOHOST=$RUN/nohost/PhotoCraft\ 8
nohost_prepare() {
  mkdir -p "$NOHOST/Plug-ins" && echo "host program" > "$NOHOST/PhotoCraft.exe" &&
    "$WINE" reg delete 'HKLM\SOFTWARE\Orrery Software\PhotoCraft' /f
}
nohost_result() {
  files_are "$NOHOST" PhotoCraft.exe halvex.dll Plug-ins/Filters/prismafold.8bf &&
    same_file "$PACKAGE/bin/halvex.dll" "$NOHOST/halvex.dll" &&
    same_file "$PACKAGE/files/prismafold.8bf" "$NOHOST/Plug-ins/Filters/prismafold.8bf"
}
step "setup: hosts removed from the registry" nohost_prepare
step "setup: no host found, the file-open dialog locates the host" \
  drive nohost "$PACKAGE" "$(winpath "$NOHOST/PhotoCraft.exe")"
step "setup: trial installed into the located host" nohost_result

# The script as the repository keeps it (LF line ends) must read as well.
step "example package with its LF line ends in a scratch directory" make_package "$RUN/package-lf" lf
step "setup: LF package, welcome page and cancel" drive cancel "$RUN/package-lf"

# Every page and box of the installations, as PNG files.
check_shots() {
  local name missing=0
  ls -1 "$SHOTS"
  for name in cancel-01-welcome cancel-02-cancel-question install-02-editions install-03-full-edition \
              install-04-licence install-05-hosts install-06-remove-question install-08-report \
              nohost-03-trial-licence nohost-04-no-registry-box nohost-05-no-host nohost-06-file-open \
              nohost-07-trial-report overwrite-03-trial-hosts overwrite-04-overwrite-question \
              overwrite-06-trial-report-one-host; do
    if ! identify "$SHOTS/$name.png" 2>/dev/null | grep -q ' PNG [0-9]*x[0-9]* '; then
      echo "missing: $name.png"; missing=1
    fi
  done
  [ "$missing" -eq 0 ]
}
step "screenshots of every page in $SHOTS" check_shots

wineserver_kill
echo "Windows part took $(( $(date +%s) - started )) s; logs in $LOGS, screenshots in $SHOTS"
echo "windows: $passed passed, $failed failed"
[ "$failed" -eq 0 ]

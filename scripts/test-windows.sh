#!/usr/bin/env bash
# The Windows builds for real, x86-64 and then i686 through the same steps:
# each build's PE headers (imports, manifest, resources; on i686 no SSE outside
# variants 4 and 5), then under that build's own Wine (wine64, or the 32-bit
# wine) in a fresh prefix on one Xvfb display: the cross build's ctest, the
# platform tests in a time zone other than UTC, halvex.dll loaded at run time
# (on i686 also called from assembly as a 32-bit host calls it), the stdcall
# caller, halvex-tool info, every variant through halvex-tool fft, and setup.exe
# driven through tests/windows/setup_flows.txt with a screenshot of every page.
# Last, the two builds compared: the vector variants' bits and the processor info.
# Every Wine run is confined (tests/confine.sh) to a private mount namespace in
# which only the build tree (for setup: its scratch tree and the Wine prefix)
# and a throw-away /tmp can be written.
# Called by scripts/test.sh after it has built $BUILD/win64 and $BUILD/win32.
# Prints PASS, FAIL or SKIP per step and ends with the line
# "windows: N passed, M failed, K skipped"; exits non-zero when a step failed.
source "$(dirname "$0")/common.sh"
set +e

# The variables of one architecture: build tree, Wine loader, binutils, the
# variants run through halvex-tool fft (on x86-64 the native tests cover the
# scalar ones; the vector ones are compared with i686's).
arch_vars() {
  ARCH=$1
  case $ARCH in
    x86-64) W=${WIN64_BUILD:-$BUILD/win64} WINE=/usr/lib/wine/wine64 TOOLS=x86_64-w64-mingw32 WINEARCH=win64 VARIANTS=45 ;;
    i686) W=${WIN32_BUILD:-$BUILD/win32} WINE=/usr/lib/wine/wine TOOLS=i686-w64-mingw32 WINEARCH=win32 VARIANTS=012345 ;;
  esac
  RUN=$W/windows-run LOGS=$W/windows-run/logs SHOTS=$W/windows-run/screenshots
  export WINEPREFIX=$W/wineprefix WINEARCH WINEDEBUG=-all TZ=UTC
}

# step NAME COMMAND...: one check, its output into a log; PASS or FAIL (with
# the log's tail), also recorded in $RUN/results.
step() {
  local name="$ARCH: $1" log
  shift
  log=$LOGS/$(printf '%02d' $(($(wc -l < "$RUN/results") + 1)))-$(echo "$name" | tr -c 'A-Za-z0-9._-' '_' | cut -c1-60).log
  if "$@" > "$log" 2>&1; then
    echo "PASS  $name" | tee -a "$RUN/results"
  else
    echo "FAIL  $name (log: $log)" | tee -a "$RUN/results"
    tail -n 25 "$log" | sed 's/^/      | /'
  fi
}

# A Linux path as Wine sees it through drive Z:; regpath doubles the backslashes.
winpath() { printf 'Z:%s' "$1" | tr '/' '\\'; }
regpath() { winpath "$1" | sed 's/\\/\\\\/g'; }
wineserver_kill() { wineserver -k 2>/dev/null; wineserver -w 2>/dev/null; true; }

# ---------------------------------------------------------------- inspection

# The DLLs a program may import: the system's own and the C runtime that
# Windows ships (no compiler runtime DLLs).
allowed_imports() {
  local dlls bad
  dlls=$("$TOOLS-objdump" -p "$1" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'a-z' 'A-Z' | sort -u)
  echo "imports of $1:"; echo "$dlls"
  bad=$(echo "$dlls" | grep -Ev '^(KERNEL32|USER32|GDI32|ADVAPI32|COMDLG32|SHELL32|COMCTL32|MSVCRT|NTDLL)\.DLL$|^API-MS-WIN-CRT-[A-Z0-9-]+\.DLL$')
  [ -n "$dlls" ] && [ -z "$bad" ]
}

# setup.exe's manifest (RT_MANIFEST 1): common controls 6, requireAdministrator.
manifest_in() {
  local text
  # (Here-strings, not pipes: grep -q leaves early, and with pipefail the
  # writer's broken pipe would count as a failure.)
  text=$("$TOOLS-windres" --input-format=coff -i "$1" -O rc | sed -n '/^1 24 /,/^END/p' | sed 's/""/"/g')
  echo "$text"
  grep -q 'Microsoft.Windows.Common-Controls' <<< "$text" && grep -q 'version="6.0.0.0"' <<< "$text" &&
    grep -q 'requestedExecutionLevel level="requireAdministrator"' <<< "$text"
}

phase_inspect() {
  step "halvex.dll and setup.exe import only system DLLs" \
    eval 'allowed_imports "$W/fftlib/halvex.dll" && allowed_imports "$W/installer/setup.exe"'
  step "setup.exe carries its manifest" manifest_in "$W/installer/setup.exe"
  step "dialog 1000 and bitmap 106 in setup.exe and wizard-resources-check.exe" eval \
    'sh "$ROOT/tests/wizard/check_resources.sh" "$W/installer/setup.exe" &&
     sh "$ROOT/tests/wizard/check_resources.sh" "$W/installer/resources/wizard-resources-check.exe"'
  [ "$ARCH" != i686 ] ||
    step "halvex.dll: no SSE or MMX outside variants 4 and 5" sh "$ROOT/tests/fftlib_engine/check_i686_sse.sh" \
      "$W/fftlib/halvex.dll" --objdump "$TOOLS-objdump"
}

# ---------------------------------------------------------------- under Wine

# A fresh prefix (without the Mono and Gecko installers, which would wait).
fresh_prefix() {
  rm -rf "$WINEPREFIX"
  WINEDLLOVERRIDES="mscoree,mshtml=" timeout 600 "$WINE" wineboot -i && wineserver -w && [ -f "$WINEPREFIX/system.reg" ]
}

# The cross build's ctest (its GoogleTest programs and the export table
# check), every Windows program under this build's Wine.
cross_ctest() {
  cmake -S "$ROOT" -B "$W" -DCMAKE_CROSSCOMPILING_EMULATOR="$WINE" > /dev/null &&
    ctest --test-dir "$W" --output-on-failure -j 2 --timeout 1200
}

# halvex-tool info: the probe, the class, and the class's own variant.
tool_info() {
  timeout 120 "$WINE" "$W/tools/halvex-tool/halvex-tool.exe" info | tr -d '\r' > "$RUN/info.txt"
  cat "$RUN/info.txt"
  local pattern=$'^maximum leaf: [0-9]+\nfamily: [0-9]+\nMMX: (yes|no)\nSSE: (yes|no)\nSSE2: (yes|no)\nclass: ([0-5])\nvariant: ([0-5])$'
  [[ $(< "$RUN/info.txt") =~ $pattern ]] && [ "${BASH_REMATCH[4]}" = "${BASH_REMATCH[5]}" ]
}

phase_wine() {
  trap wineserver_kill EXIT
  local driver=$W/tests/windows/windows-driver.exe
  step "fresh Wine prefix" fresh_prefix
  step "ctest of the cross build under Wine" cross_ctest
  # (The server keeps the time zone it started with.)
  wineserver_kill
  step "registry, file system and dates against Wine in Europe/Berlin" \
    env TZ=Europe/Berlin timeout 600 "$WINE" "$W/tests/engine/engine_platform_tests.exe"
  wineserver_kill
  step "wizard_tests.exe (dialog layout)" timeout 300 "$WINE" "$W/tests/wizard/wizard_tests.exe"
  step "halvex.dll through LoadLibraryA/GetProcAddress, threads before and after the load$([ "$ARCH" = i686 ] &&
    echo ', stdcall from assembly')" timeout 600 "$WINE" "$driver" halvex "$(winpath "$W/fftlib/halvex.dll")"
  step "halvex-stdcall-caller.exe through the import library" timeout 120 "$WINE" "$W/fftlib/halvex-stdcall-caller.exe"
  step "halvex-tool info prints the class and its variant" tool_info
  mkdir -p "$RUN/fft"
  step "variants $VARIANTS through halvex-tool fft, orders 0-16, 12 flag sets, within sqrt(order)·FLT_EPSILON" \
    timeout 1800 "$WINE" "$driver" fft "$(winpath "$W/tools/halvex-tool/halvex-tool.exe")" "$(winpath "$RUN/fft")" "$VARIANTS"
  wineserver_kill
  bash "$ROOT/tests/confine.sh" "$RUN:$WINEPREFIX" bash "$0" --phase setup "$ARCH"
}

# ---------------------------------------------------------------- setup.exe

# The example package as it would ship (CRLF line ends unless "lf"), with this
# build's halvex.dll in bin\ and fixed file dates.
make_package() {
  rm -rf "$1" && mkdir -p "$1" && cp -r "$ROOT/examples/." "$1/" && cp "$W/fftlib/halvex.dll" "$1/bin/" || return 1
  [ "${2:-}" = lf ] || sed -i 's/\r*$/\r/' "$1/set/version.psc" "$1/license.txt"
  touch -d '2026-03-04 05:06' "$1/bin/halvex.dll"
  touch -d '2025-01-08 09:10' "$1/docs/prismafold-manual.txt"
  touch -d '2025-11-12 13:14' "$1/files/prismafold.8bf" "$1/files/prismafold-presets.dat"
}

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
  "$WINE" reg import "$(winpath "$RUN/hosts.reg")" && "$WINE" reg query 'HKLM\SOFTWARE\Orrery Software\PhotoCraft' /s
}

# drive FLOW PACKAGE ARGS...: the driver (which starts setup.exe) in Wine's
# virtual desktop; its screenshot requests answered with import and convert.
# Passes when the driver reports "RESULT ok".
drive() {
  local flow=$1 package=$2 requests=$RUN/requests result=$LOGS/driver-$1.log
  shift 2
  rm -rf "$requests" "$result" && mkdir -p "$requests"
  "$WINE" explorer /desktop=setup,1024x768 "$(winpath "$W/tests/windows/windows-driver.exe")" setup \
    "$(winpath "$ROOT/tests/windows/setup_flows.txt")" "$flow" "$(winpath "$W/installer/setup.exe")" \
    "$(winpath "$package")" "$(winpath "$requests")" "$(winpath "$result")" "$@" &
  local wine_pid=$! deadline=$(($(date +%s) + 300)) name w h x y
  while [ "$(date +%s)" -lt "$deadline" ] && ! grep -q '^RESULT' "$result" 2>/dev/null; do
    if [ -f "$requests/request.txt" ]; then
      read -r name w h x y < "$requests/request.txt"
      import -window root -display "$DISPLAY" "$requests/full.png" &&
        convert "$requests/full.png" -crop "${w}x${h}+${x}+${y}" +repage "$SHOTS/$flow-$name.png" &&
        identify "$SHOTS/$flow-$name.png" || touch "$requests/request.bad"
      rm -f "$requests/request.txt"
    fi
    kill -0 "$wine_pid" 2>/dev/null || break
    sleep 0.2
  done
  sleep 1
  kill "$wine_pid" 2>/dev/null
  wait "$wine_pid" 2>/dev/null
  cat "$result" 2>/dev/null
  grep -q '^RESULT ok' "$result" 2>/dev/null
}

# tree_is DIR PATH=SOURCE...: DIR holds exactly these files, each with the
# contents of SOURCE, a file of the package or, after ":", a text.
tree_is() {
  local dir=$1 f want=""
  shift
  for f in "$@"; do want+="${f%%=*}"$'\n'; done
  [ "$(cd "$dir" && find . -type f | sed 's|^\./||' | sort)" = "$(printf %s "$want" | sort)" ] ||
    { echo "files under $dir:"; find "$dir" -type f; echo "expected: $*"; return 1; }
  for f in "$@"; do
    case ${f#*=} in
      :*) [ "$(cat "$dir/${f%%=*}")" = "${f#*=:}" ] || { echo "$dir/${f%%=*} is not \"${f#*=:}\""; return 1; } ;;
      *) cmp "$PACKAGE/${f#*=}" "$dir/${f%%=*}" || return 1 ;;
    esac
  done
}
FULL=(halvex.dll=bin/halvex.dll prismafold-manual.txt=docs/prismafold-manual.txt
  Plug-ins/Filters/prismafold.8bf=files/prismafold.8bf Plug-ins/Filters/prismafold-presets.dat=files/prismafold-presets.dat)
# halvex.dll keeps the package's date.
dated() { [ "$(stat -c %Y "$1/halvex.dll")" = "$(stat -c %Y "$PACKAGE/bin/halvex.dll")" ]; }

# The trial over the full edition: host 1's halvex.dll older, its filter
# changed with the package's date; host 2 marked to be seen untouched.
prepare_overwrite() {
  touch -d '2001-02-03 04:05' "$HOST1/halvex.dll" && echo "changed filter" > "$HOST1/Plug-ins/Filters/prismafold.8bf" &&
    touch -r "$PACKAGE/files/prismafold.8bf" "$HOST1/Plug-ins/Filters/prismafold.8bf" && echo "host 2" > "$HOST2/halvex.dll"
}

phase_setup() {
  trap wineserver_kill EXIT
  PACKAGE=$RUN/package HOSTS=$RUN/hosts HOST1="$RUN/hosts/PhotoCraft 6" HOST2="$RUN/hosts/PhotoCraft 7"
  NOHOST="$RUN/nohost/PhotoCraft 8"
  step "setup confined: only its scratch tree and the Wine prefix writable" \
    eval '! touch "$W/.confine-probe" && ! touch "$ROOT/.confine-probe" && touch "$RUN/.confine-probe"'
  step "example package in a scratch directory" make_package "$PACKAGE"
  step "two hosts registered with reg import" register_hosts
  step "setup: cancel on the welcome page, question answered No then Yes" drive cancel "$PACKAGE"
  step "setup: cancel left the hosts empty" tree_is "$HOSTS"
  step "setup: complete installation into two hosts, with Back" drive install "$PACKAGE" "$(winpath "$HOST1")" "$(winpath "$HOST2")"
  step "setup: installed files in both hosts" eval 'tree_is "$HOST1" "${FULL[@]}" && tree_is "$HOST2" "${FULL[@]}" && dated "$HOST1"'
  step "setup: prepare an older halvex.dll in host 1" prepare_overwrite
  step "setup: trial over the full edition in host 1, with the overwrite questions" \
    drive overwrite "$PACKAGE" "$(winpath "$HOST1")" "$(winpath "$HOST2")"
  step "setup: Yes replaced the older halvex.dll, No kept the filter, host 2 untouched" eval \
    'tree_is "$HOST1" "${FULL[@]/%files\/prismafold.8bf/:changed filter}" && dated "$HOST1" &&
     tree_is "$HOST2" "${FULL[@]/%bin\/halvex.dll/:host 2}"'
  step "setup: hosts removed from the registry" eval \
    'mkdir -p "$NOHOST/Plug-ins" && echo "host program" > "$NOHOST/PhotoCraft.exe" &&
     "$WINE" reg delete "HKLM\\SOFTWARE\\Orrery Software\\PhotoCraft" /f'
  step "setup: no host found, the file-open dialog locates the host" drive nohost "$PACKAGE" "$(winpath "$NOHOST/PhotoCraft.exe")"
  step "setup: trial installed into the located host" tree_is "$NOHOST" "PhotoCraft.exe=:host program" \
    halvex.dll=bin/halvex.dll Plug-ins/Filters/prismafold.8bf=files/prismafold.8bf
  step "example package with its LF line ends" make_package "$RUN/package-lf" lf
  step "setup: LF package, welcome page and cancel" drive cancel "$RUN/package-lf"
}

# ---------------------------------------------------------------- the run

if [ "${1:-}" = --phase ]; then
  arch_vars "$3"
  "phase_$2"
  exit 0
fi

ensure_packages $PACKAGES_WINDOWS || { echo "windows: 0 passed, 1 failed"; exit 1; }
started=$(date +%s)
display=""
for n in $(seq 90 199); do
  [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] || { display=:$n; break; }
done
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp > /dev/null 2>&1 &
xvfb=$!
trap 'kill "$xvfb" 2>/dev/null' EXIT
export DISPLAY=$display
for arch in x86-64 i686; do
  arch_vars "$arch"
  arch_started=$(date +%s)
  rm -rf "$RUN" && mkdir -p "$LOGS" "$SHOTS" "$RUN/fft" && : > "$RUN/results"
  log "Windows $ARCH build: inspection and runs under Wine"
  for f in installer/setup.exe fftlib/halvex.dll tests/windows/windows-driver.exe; do
    [ -f "$W/$f" ] || step "$W/$f is built" false
  done
  phase_inspect
  # Some machines (or their virtual machines) execute no 32-bit x86 code.
  if "$WINE" --version > /dev/null 2>&1; then
    bash "$ROOT/tests/confine.sh" "$W" bash "$0" --phase wine "$ARCH"
  else
    echo "SKIP  $ARCH: every run under Wine: this machine cannot execute $ARCH code ($WINE:$("$WINE" --version 2>&1 |
      sed -n '$s/.*://p'))" | tee -a "$RUN/results"
  fi
  echo "$ARCH part took $(($(date +%s) - arch_started)) s: $(grep -c ^PASS "$RUN/results") passed, $(grep -c ^FAIL "$RUN/results") failed"
done

# The two builds side by side: the vector variants run the same single-
# precision operations on both (x87 is not involved), so their outputs agree
# bit for bit; halvex-tool info reports the same processor, class and variant.
same_builds() {
  local a=${WIN64_BUILD:-$BUILD/win64}/windows-run b=${WIN32_BUILD:-$BUILD/win32}/windows-run f count=0 differ=0
  for f in "$a"/fft/v[45]-*.bin; do
    count=$((count + 1))
    cmp -s "$f" "$b/fft/${f##*/}" || { echo "differs: ${f##*/}"; differ=$((differ + 1)); }
  done
  echo "$count outputs of variants 4 and 5 compared, $differ differ"
  diff "$a/info.txt" "$b/info.txt" && [ "$count" -eq 408 ] && [ "$differ" -eq 0 ]
}
ARCH=both RUN=${WIN32_BUILD:-$BUILD/win32}/windows-run LOGS=${WIN32_BUILD:-$BUILD/win32}/windows-run/logs
if [ -f "$RUN/info.txt" ]; then
  step "variants 4 and 5 give the same bits on i686 and x86-64; info the same" same_builds
fi
results=$(cat "${WIN64_BUILD:-$BUILD/win64}/windows-run/results" "$RUN/results")
echo "Windows part took $(($(date +%s) - started)) s; logs and screenshots in build/win*/windows-run/"
echo "windows: $(grep -c ^PASS <<< "$results") passed, $(grep -c ^FAIL <<< "$results") failed, $(grep -c ^SKIP <<< "$results") skipped"
! grep -q ^FAIL <<< "$results"

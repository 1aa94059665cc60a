#!/usr/bin/env bash
# The Windows builds for real, x86-64 then i686: PE headers, then under the
# build's own Wine (fresh prefix, one Xvfb display) its programs and setup.exe
# driven through tests/windows/setup_flows.txt; last the builds compared. Wine
# runs are confined (tests/confine.sh) to the build tree (setup: its scratch
# tree and the prefix) and a throw-away /tmp. Prints PASS, FAIL or SKIP per
# step, then "windows: N passed, M failed, K skipped"; non-zero on a failure.
source "$(dirname "$0")/common.sh"
set +e
W64=${WIN64_BUILD:-$BUILD/win64} W32=${WIN32_BUILD:-$BUILD/win32}
# Under the emulator (EMULATED set: i686 where the kernel runs no 32-bit code)
# time limits stretch SLOW-fold and the phases start few processes.
SLOW=${SLOW:-1}

# The variables of one architecture. halvex-tool fft runs VARIANTS: on x86-64
# the native tests cover the scalar ones, and the vector ones meet i686's.
arch_vars() {
  ARCH=$1 PREFIX=$1
  case $ARCH in
    x86-64) W=$W64 WINE=/usr/lib/wine/wine64 TOOLS=x86_64-w64-mingw32 WINEARCH=win64 VARIANTS=45 ;;
    i686) W=$W32 WINE=/usr/lib/wine/wine TOOLS=i686-w64-mingw32 WINEARCH=win32 VARIANTS=012345 ;;
  esac
  RUN=$W/windows-run LOGS=$W/windows-run/logs SHOTS=$W/windows-run/screenshots
  export WINEPREFIX=$W/wineprefix WINEARCH WINEDEBUG=-all TZ=UTC
}

# A Linux path as Wine sees it through drive Z:; regpath doubles the backslashes.
winpath() { printf 'Z:%s' "$1" | tr '/' '\\'; }
regpath() { winpath "$1" | sed 's/\\/\\\\/g'; }
wineserver_kill() { wineserver -k 2>/dev/null; timeout $((60 * SLOW)) wineserver -w 2>/dev/null; true; }

# The DLLs a program may import: the system's own and the C runtime that
# Windows ships (no compiler runtime DLLs).
allowed_imports() {
  local f dlls ok='^(KERNEL32|USER32|GDI32|ADVAPI32|COMDLG32|SHELL32|COMCTL32|MSVCRT|NTDLL)\.DLL$|^API-MS-WIN-CRT-[A-Z0-9-]+\.DLL$'
  for f; do
    dlls=$("$TOOLS-objdump" -p "$f" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'a-z' 'A-Z' | sort -u)
    echo "imports of $f:" $dlls
    [ -n "$dlls" ] && ! grep -Ev "$ok" <<< "$dlls" || return 1
  done
}

# setup.exe's manifest (RT_MANIFEST 1): common controls 6, requireAdministrator.
manifest_in() {
  local text  # (here-strings: a grep -q leaving early must not fail a writer under pipefail)
  text=$("$TOOLS-windres" --input-format=coff -i "$1" -O rc | sed -n '/^1 24 /,/^END/p' | sed 's/""/"/g')
  echo "$text"
  grep -q 'Microsoft.Windows.Common-Controls' <<< "$text" && grep -q 'version="6.0.0.0"' <<< "$text" &&
    grep -q 'requestedExecutionLevel level="requireAdministrator"' <<< "$text"
}

phase_inspect() {
  step "halvex.dll and setup.exe import only system DLLs" allowed_imports "$W/fftlib/halvex.dll" "$W/installer/setup.exe"
  step "setup.exe carries its manifest" manifest_in "$W/installer/setup.exe"
  step "dialog 1000 and bitmap 106 in setup.exe" sh "$ROOT/tests/wizard/check_resources.sh" "$W/installer/setup.exe"
  [ "$ARCH" != i686 ] || step "halvex.dll: no SSE or MMX outside variants 4 and 5" \
    sh "$ROOT/tests/fftlib_engine/check_i686_sse.sh" "$W/fftlib/halvex.dll" "$TOOLS-objdump"
}

# halvex-tool info: the class's own variant (this build has all six) and its
# body's width: on x86-64 a vector variant takes the widest that the processor
# and its system run (512 bits with AVX2 as well), on i686 it has only 128
# bits; the scalar ones none.
tool_info() {
  timeout $((120 * SLOW)) "$WINE" "$W/tools/halvex-tool/halvex-tool.exe" info | tr -d '\r' > "$RUN/info.txt"
  cat "$RUN/info.txt"
  local pattern=$'^maximum leaf: [0-9]+\nfamily: [0-9]+\nMMX: (yes|no)\nSSE: (yes|no)\nSSE2: (yes|no)\nclass: ([0-5])\nvariant: ([0-5])\nAVX: (yes|no)[^\n]*\nAVX2: (yes|no)[^\n]*\nAVX-512F: (yes|no)[^\n]*\nwidth: ([^\n]+)$' width v
  [[ $(< "$RUN/info.txt") =~ $pattern ]] && [ "${BASH_REMATCH[4]}" = "${BASH_REMATCH[5]}" ] || return 1
  v=${BASH_REMATCH[5]}
  case $v:$ARCH in
    [45]:*) width="128 (variant $v's $([ "$v" = 4 ] && echo SSE || echo SSE2) body)"
      if [ "$ARCH" = x86-64 ]; then
        grep -qx 'AVX: yes' "$RUN/info.txt" && width="256 (variant $v's AVX body)"
        grep -qx 'AVX2: yes' "$RUN/info.txt" && grep -qx 'AVX-512F: yes' "$RUN/info.txt" &&
          width="512 (variant $v's AVX-512F body)"
      fi ;;
    *) width="none (variant $v is scalar)" ;;
  esac
  [ "${BASH_REMATCH[9]}" = "$width" ] || { echo "expected width: $width"; false; }
}

phase_wine() {
  local driver=$W/tests/windows/windows-driver.exe
  # (Without the Mono and Gecko installers, which would wait; under the
  # emulator the prefix's explorer was seen never to end, hence the limit.)
  step "fresh Wine prefix" eval 'rm -rf "$WINEPREFIX" && WINEDLLOVERRIDES="mscoree,mshtml=" timeout $((600 * SLOW)) "$WINE" wineboot -i &&
    timeout $((300 * SLOW)) wineserver -w && [ -f "$WINEPREFIX/system.reg" ]'
  # The platform tests' local time is only seen to move in a zone off UTC,
  # hence Europe/Berlin below; the server keeps the zone it started with.
  wineserver_kill
  # Under the emulator the orders stop at 16 (a Wine process there runs some
  # twenty times slower).
  step "ctest of the cross build, every Windows program under this build's Wine, in Europe/Berlin${EMULATED:+,
    orders up to 16}" eval 'cmake -S "$ROOT" -B "$W" -DCMAKE_CROSSCOMPILING_EMULATOR="$WINE" > /dev/null &&
     TZ=Europe/Berlin ctest --test-dir "$W" --output-on-failure -j 2 \
       --timeout $((1200 * SLOW)) ${EMULATED:+-LE large}'
  wineserver_kill
  step "halvex.dll through LoadLibraryA/GetProcAddress, threads before and after the load$([ "$ARCH" = i686 ] &&
    echo ', stdcall from assembly')" timeout $((600 * SLOW)) "$WINE" "$driver" halvex "$(winpath "$W/fftlib/halvex.dll")"
  step "halvex-stdcall-caller.exe through the import library" timeout $((120 * SLOW)) "$WINE" "$W/fftlib/halvex-stdcall-caller.exe"
  step "halvex-tool info: the class, its variant and the width of its body" tool_info
  # Under the emulator one process runs them all, not one halvex-tool a transform.
  local tool=$(winpath "$W/tools/halvex-tool/halvex-tool.exe")
  [ -z "${EMULATED:-}" ] || tool=-
  step "variants $VARIANTS $([ "$tool" = - ] && echo 'in one process' || echo 'through halvex-tool fft'), orders 0-16, \
12 flag sets, within the variant's bound" timeout 1800 "$WINE" "$driver" fft "$tool" "$(winpath "$RUN/fft")" "$VARIANTS"
  wineserver_kill
  rm -f "$RUN/.confine-probe"
  bash "$ROOT/tests/confine.sh" "$RUN:$WINEPREFIX" bash "$0" --phase setup "$ARCH"
  # (Under /tmp a write is not refused but thrown away with the namespace.)
  step "setup confined: nothing it wrote outside its scratch tree and the Wine prefix outlived it" \
    eval '[ ! -e "$W/.confine-probe" ] && [ ! -e "$ROOT/.confine-probe" ] && [ -e "$RUN/.confine-probe" ]'
}

# The example package as scripts/package.sh ships it, unpacked from its zip,
# but with this build's setup.exe and halvex.dll (the shipped zip has i686's);
# the script with LF line ends when asked ("lf"), and fixed file dates.
make_package() {
  rm -rf "$1" "$RUN/dist" && DIST=$RUN/dist DIST_BUILD=$W PSC_CHECK=${PSC_CHECK:-$BUILD/native/tools/psc-check/psc-check} \
    bash "$ROOT/scripts/package.sh" && unzip -q "$RUN/dist/examples.zip" -d "$RUN/dist/unzipped" &&
    mv "$RUN/dist/unzipped/examples" "$1" || return 1
  [ "${2:-}" != lf ] || sed -i 's/\r$//' "$1/set/version.psc"
  touch -d '2026-03-04 05:06' "$1/bin/halvex.dll"
  touch -d '2025-01-08 09:10' "$1/docs/prismafold-manual.txt"
  touch -d '2025-11-12 13:14' "$1/files/prismafold.8bf" "$1/files/prismafold-presets.dat"
}

# Two registered hosts: one with both directories as keys' default values,
# one with its application directory as a value of its own key.
register_hosts() {
  mkdir -p "$HOST1/Plug-ins" "$HOST2/Plug-ins" || return 1
  local key='HKEY_LOCAL_MACHINE\SOFTWARE\Orrery Software\PhotoCraft'
  # (printf repeats its format: one section per three arguments)
  { printf 'Windows Registry Editor Version 5.00\r\n'
    printf '\r\n[%s]\r\n%s="%s"\r\n' "$key\\6.0\\PluginPath" @ "$(regpath "$HOST1/Plug-ins")" \
      "$key\\6.0\\ApplicationPath" @ "$(regpath "$HOST1")" "$key\\7.0" '"ApplicationPath"' "$(regpath "$HOST2")\\\\" \
      "$key\\7.0\\PluginPath" @ "$(regpath "$HOST2/Plug-ins")\\\\"; } > "$RUN/hosts.reg"
  "$WINE" reg import "$(winpath "$RUN/hosts.reg")" &&
    { [ -n "${EMULATED:-}" ] || "$WINE" reg query 'HKLM\SOFTWARE\Orrery Software\PhotoCraft' /s; }
}

# drive FLOW PACKAGE ARGS...: the driver (which starts the package's setup.exe) in Wine's virtual
# desktop, its screenshot requests answered; passes when it reports "RESULT ok".
drive() {
  local flow=$1 package=$2 requests=$RUN/requests result=$LOGS/driver-$1.log name w h x y
  shift 2
  rm -rf "$requests" "$result" && mkdir -p "$requests"
  "$WINE" explorer /desktop=setup,1024x768 "$(winpath "$W/tests/windows/windows-driver.exe")" setup \
    "$(winpath "$ROOT/tests/windows/setup_flows.txt")" "$flow" "$(winpath "$package/setup.exe")" \
    "$(winpath "$package")" "$(winpath "$requests")" "$(winpath "$result")" "$@" &
  for _ in $(seq $((1500 * SLOW))); do  # some 300 s (times SLOW)
    grep -q '^RESULT' "$result" 2>/dev/null || ! kill -0 $! 2>/dev/null && break
    if read -r name w h x y 2>/dev/null < "$requests/request.txt"; then
      import -window root -display "$DISPLAY" "$requests/full.png" &&
        convert "$requests/full.png" -crop "${w}x${h}+${x}+${y}" +repage "$SHOTS/$flow-$name.png" &&
        identify "$SHOTS/$flow-$name.png" || touch "$requests/request.bad"
      rm -f "$requests/request.txt"
    fi
    sleep 0.2
  done
  sleep 1
  kill $! 2>/dev/null
  wait $! 2>/dev/null
  cat "$result" 2>/dev/null && grep -q '^RESULT ok' "$result"
}

# tree_is DIR PATH=SOURCE...: DIR holds exactly these files, each with the
# contents of SOURCE, a file of the package or, after ":", a text.
tree_is() {
  local dir=$1 f
  shift
  diff <(cd "$dir" && find . -type f | sed 's|^\./||' | sort) <(for f; do echo "${f%%=*}"; done | sort) || return 1
  for f; do
    cmp <(if [[ ${f#*=} == :* ]]; then echo "${f#*=:}"; else cat "$PACKAGE/${f#*=}"; fi) "$dir/${f%%=*}" || return 1
  done
}
FULL=(halvex.dll=bin/halvex.dll prismafold-manual.txt=docs/prismafold-manual.txt
  Plug-ins/Filters/prismafold.8bf=files/prismafold.8bf Plug-ins/Filters/prismafold-presets.dat=files/prismafold-presets.dat)
# halvex.dll keeps the package's date.
dated() { [ "$(stat -c %Y "$1/halvex.dll")" = "$(stat -c %Y "$PACKAGE/bin/halvex.dll")" ]; }

phase_setup() {
  PACKAGE=$RUN/package HOST1="$RUN/hosts/PhotoCraft 6" HOST2="$RUN/hosts/PhotoCraft 7" NOHOST="$RUN/nohost/PhotoCraft 8"
  # Probes for the check after this phase: only the one in the scratch tree may outlive it.
  touch "$W/.confine-probe" "$ROOT/.confine-probe" "$RUN/.confine-probe" 2> /dev/null
  step "example package in a scratch directory, two hosts registered with reg import" \
    eval 'make_package "$PACKAGE" && register_hosts'
  if [ -n "${EMULATED:-}" ]; then
    step "setup: complete installation into two hosts, with Back" drive install "$PACKAGE" "$(winpath "$HOST1")" "$(winpath "$HOST2")"
    step "setup: installed files in both hosts" eval 'tree_is "$HOST1" "${FULL[@]}" && tree_is "$HOST2" "${FULL[@]}" && dated "$HOST1"'
    return
  fi
  step "setup: cancel on the welcome page, question answered No then Yes" drive cancel "$PACKAGE"
  step "setup: cancel left the hosts empty" tree_is "$RUN/hosts"
  step "setup: complete installation into two hosts, with Back" drive install "$PACKAGE" "$(winpath "$HOST1")" "$(winpath "$HOST2")"
  step "setup: installed files in both hosts" eval 'tree_is "$HOST1" "${FULL[@]}" && tree_is "$HOST2" "${FULL[@]}" && dated "$HOST1"'
  # Host 1's halvex.dll made older, its filter changed with the package's
  # date; host 2 marked to be seen untouched.
  step "setup: trial over the full edition in host 1, with the overwrite questions" eval \
    'touch -d "2001-02-03 04:05" "$HOST1/halvex.dll" && echo "changed filter" > "$HOST1/Plug-ins/Filters/prismafold.8bf" &&
     touch -r "$PACKAGE/files/prismafold.8bf" "$HOST1/Plug-ins/Filters/prismafold.8bf" && echo "host 2" > "$HOST2/halvex.dll" &&
     drive overwrite "$PACKAGE" "$(winpath "$HOST1")" "$(winpath "$HOST2")"'
  step "setup: Yes replaced the older halvex.dll, No kept the filter, host 2 untouched" eval \
    'tree_is "$HOST1" "${FULL[@]/%files\/prismafold.8bf/:changed filter}" && dated "$HOST1" &&
     tree_is "$HOST2" "${FULL[@]/%bin\/halvex.dll/:host 2}"'
  step "setup: hosts removed from the registry, the file-open dialog locates the host" eval \
    'mkdir -p "$NOHOST/Plug-ins" && echo "host program" > "$NOHOST/PhotoCraft.exe" &&
     "$WINE" reg delete "HKLM\\SOFTWARE\\Orrery Software\\PhotoCraft" /f && drive nohost "$PACKAGE" "$(winpath "$NOHOST/PhotoCraft.exe")"'
  step "setup: trial installed into the located host" tree_is "$NOHOST" "PhotoCraft.exe=:host program" \
    halvex.dll=bin/halvex.dll Plug-ins/Filters/prismafold.8bf=files/prismafold.8bf
  step "setup: the example package with LF line ends, welcome page and cancel" \
    eval 'make_package "$RUN/package-lf" lf && drive cancel "$RUN/package-lf"'
}

if [ "${1:-}" = --phase ]; then
  arch_vars "$3"
  trap wineserver_kill EXIT
  "phase_$2"
  exit 0
fi

# Whether this machine's kernel runs 32-bit x86 programs itself: Wine's loader
# starts, and not through an emulator registered as their interpreter.
BINFMT=/proc/sys/fs/binfmt_misc
runs_i686() {
  "$WINE" --version > /dev/null 2>&1 || return 1
  [ -z "$(grep -lx enabled $(grep -l '^interpreter .*qemu-i386' "$BINFMT"/* 2>/dev/null) /dev/null 2>/dev/null)" ]
}

# Registers the emulator as the interpreter of 32-bit x86 programs (by the ELF
# header's class and machine), for this run only: unregister_i686 undoes it,
# also when the run fails or is stopped. As root, with qemu-i386.
register_i686() {
  command -v qemu-i386 > /dev/null && [ "$(id -u)" = 0 ] || return 1
  if [ ! -e "$BINFMT/register" ]; then mount -t binfmt_misc binfmt_misc "$BINFMT" && BINFMT_MOUNTED=1 || return 1; fi
  BINFMT_NAME=halvex-i386-$$
  printf '%s' ":$BINFMT_NAME:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:"\
'\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:/usr/bin/qemu-i386:F' > "$BINFMT/register"
}
unregister_i686() {
  [ -z "${BINFMT_NAME:-}" ] || echo -1 > "$BINFMT/$BINFMT_NAME"
  [ -z "${BINFMT_MOUNTED:-}" ] || umount "$BINFMT"
  BINFMT_NAME= BINFMT_MOUNTED=
}

# shellcheck disable=SC2086
ensure_packages $PACKAGES_WINDOWS $PACKAGES_CPUS || { echo "windows: 0 passed, 1 failed"; exit 1; }
started=$(date +%s)
# Xvfb picks a free display and names it once it accepts connections.
coproc XVFB { exec Xvfb -displayfd 1 -screen 0 1280x1024x24 -nolisten tcp 2> /dev/null; }
trap 'kill "${XVFB_PID:-}" 2>/dev/null; unregister_i686' EXIT
trap 'exit 130' INT TERM
read -r -t 60 display <&"${XVFB[0]}"
export DISPLAY=:$display SLOW EMULATED=
for arch in x86-64 i686; do
  arch_vars "$arch"
  arch_started=$(date +%s)
  rm -rf "$RUN" && mkdir -p "$LOGS" "$SHOTS" "$RUN/fft" && : > "$RUN/results"
  log "Windows $ARCH build: inspection and runs under Wine"
  phase_inspect
  # Some machines (or their virtual machines) execute no 32-bit x86 code: there,
  # when asked (WINE_I686_EMULATED=1), the user-mode emulator runs 32-bit Wine,
  # slowly, so the phase starts few processes, with the emulator's CPUID.
  # (Under it a fresh prefix alone took 7.5 minutes and the phase well over
  # the test command's time on these machines; scripts/test-cpus.sh runs the
  # i686 transforms under the emulator without Wine.)
  runs=yes
  if [ "$ARCH" = i686 ] && ! runs_i686; then
    runs=no
    if [ "${WINE_I686_EMULATED:-}" = 1 ]; then
      if "$WINE" --version > /dev/null 2>&1 || { register_i686 && "$WINE" --version > /dev/null 2>&1; }; then
        runs=yes EMULATED=1 SLOW=4 HALVEX_TEST_LAST_ORDER=16
        export HALVEX_TEST_LAST_ORDER
        echo "i686 Wine runs under the user-mode emulator (qemu-i386), as the interpreter of 32-bit programs"
      else
        echo "FAIL  $ARCH: every run under Wine: this machine cannot execute $ARCH code, and the emulator could \
not stand in (qemu-i386, registered as root)" | tee -a "$RUN/results"
      fi
    else
      echo "SKIP  $ARCH: every run under Wine: this machine cannot execute $ARCH code itself; \
WINE_I686_EMULATED=1 runs them under the emulator (as root; slow)" | tee -a "$RUN/results"
    fi
  fi
  if [ $runs = yes ]; then
    bash "$ROOT/tests/confine.sh" "$W" bash "$0" --phase wine "$ARCH" ||
      echo "FAIL  $ARCH: the confined phase under Wine ended with status $?" | tee -a "$RUN/results"
  fi
  unregister_i686
  echo "$ARCH part took $(($(date +%s) - arch_started)) s: $(grep -c ^PASS "$RUN/results") passed, $(grep -c ^FAIL "$RUN/results") failed"
done

# The vector variants run the same single-precision operations on both builds
# (no x87, and every width of variant 5 gives the same bits): the same bits.
# halvex-tool info agrees but for the width, each build's own (see tool_info).
same_builds() {
  local f count=0
  for f in "$W64"/windows-run/fft/v[45]-*.bin; do
    cmp "$f" "$RUN/fft/${f##*/}" || return 1
    count=$((count + 1))
  done
  echo "$count outputs of variants 4 and 5 agree"
  [ "$count" -eq 408 ] && { [ -n "$EMULATED" ] ||
    diff <(grep -v '^width:' "$W64/windows-run/info.txt") <(grep -v '^width:' "$RUN/info.txt"); }
}
ARCH=both PREFIX=both RUN=$W32/windows-run LOGS=$W32/windows-run/logs
if grep -q '^\(SKIP\|FAIL\)  i686: every run' "$RUN/results"; then
  echo "SKIP  both: the builds compared: no i686 run" | tee -a "$RUN/results"
else
  step "variants 4 and 5 give the same bits on i686 and x86-64$([ -n "$EMULATED" ] || echo '; info the same')" same_builds
fi
results=$(cat "$W64/windows-run/results" "$RUN/results")
echo "Windows part took $(($(date +%s) - started)) s; logs and screenshots in build/win*/windows-run/"
echo "windows: $(grep -c ^PASS <<< "$results") passed, $(grep -c ^FAIL <<< "$results") failed, $(grep -c ^SKIP <<< "$results") skipped"
! grep -q ^FAIL <<< "$results"

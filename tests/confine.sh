#!/usr/bin/env bash
# confine.sh DIR[:DIR...] COMMAND [ARG...]: runs COMMAND where it can change
# nothing but the DIRs. In a private mount namespace every file system is
# remounted read-only, /tmp becomes an overlay whose changes are thrown away
# and /dev/shm an empty tmpfs, so a faulty build under test (a removal walk let
# loose on "/", say) cannot reach other checkouts or the machine. Needs root,
# or user namespaces for --map-root-user; without them, or when anything else
# stays writable, the command is not run.
set -eu
IFS=: read -r -a dirs <<< "$1"
shift
for i in "${!dirs[@]}"; do dirs[i]=$(cd "${dirs[i]}" && pwd -P); done
map=()
[ "$(id -u)" -eq 0 ] || map=(--map-root-user)
exec unshare --mount --propagation private "${map[@]}" bash -c '
set -eu
n=$1; shift; dirs=("${@:1:n}"); shift "$n"
# Opened before anything is mounted over them, so they can be put back.
fds=()
for d in "${dirs[@]}"; do exec {fd}<"$d"; fds+=("$fd"); done
for m in $(awk "{print \$5}" /proc/self/mountinfo | sort -u); do
  case $m in /proc|/proc/*|/sys|/sys/*) ;; *) mount -o remount,bind,ro "$m" 2>/dev/null || true ;; esac
done
mount -t tmpfs confined-shm /dev/shm
mkdir /dev/shm/.upper /dev/shm/.work
mount -t overlay confined-tmp -o lowerdir=/tmp,upperdir=/dev/shm/.upper,workdir=/dev/shm/.work /tmp
for i in "${!dirs[@]}"; do
  mount --no-canonicalize --bind "/proc/self/fd/${fds[i]}" "${dirs[i]}" && mount -o remount,bind,rw "${dirs[i]}"
  exec {fds[i]}<&-
done
# Refuse rather than run unconfined when a remount did not take: the last
# mount on each point is the one seen there.
open=$(printf "%s\n" "${dirs[@]}" /tmp /dev/shm | awk "NR == FNR { ok[\$0] = 1; next }
  { opts[\$5] = \$6 } END { for (m in opts) if (opts[m] !~ /^ro/ && !(m in ok) && m !~ /^\/(proc|sys)(\/|$)/) print m }" \
  - /proc/self/mountinfo)
if [ -n "$open" ]; then echo "confine.sh: still writable: $open" >&2; exit 125; fi
# The current directory still refers to the read-only view underneath the bind
# mount; entering it again by its name makes relative paths writable too.
cd "$(pwd -P)"
exec "$@"
' confine "${#dirs[@]}" "${dirs[@]}" "$@"

#!/bin/sh
# confine.sh DIR COMMAND [ARG...]: runs COMMAND where it can change nothing but
# DIR and an empty /tmp of its own. In a private mount namespace every other
# file system is remounted read-only, so a faulty build under test (a removal
# walk let loose on "/", say) cannot reach other checkouts or the machine.
# Needs root, or user namespaces for --map-root-user; without them, or when a
# file system stays writable, the command is not run at all.
set -eu
dir=$(cd "$1" && pwd -P) || exit 125
shift
[ "$(id -u)" -eq 0 ] && map= || map=--map-root-user
# shellcheck disable=SC2016
exec unshare --mount --propagation private $map sh -c '
dir=$1; shift
exec 3<"$dir"
for m in $(awk "{print \$5}" /proc/self/mountinfo | sort -u); do
  case $m in /proc|/proc/*|/sys|/sys/*) ;; *) mount -o remount,bind,ro "$m" 2>/dev/null || true ;; esac
done
mount -t tmpfs -o size=512m confined-tmp /tmp
mkdir -p "$dir"
mount --bind /proc/self/fd/3 "$dir" && mount -o remount,bind,rw "$dir"
exec 3<&-
# Refuse rather than run unconfined when a remount did not take: the last
# mount on each point is the one seen there.
open=$(awk -v dir="$dir" '"'"'{ opts[$5] = $6 } END { for (m in opts)
  if (opts[m] !~ /^ro/ && m != dir && m != "/tmp" && m !~ /^\/(proc|sys)(\/|$)/) print m }'"'"' /proc/self/mountinfo)
if [ -n "$open" ]; then echo "confine.sh: still writable: $open" >&2; exit 125; fi
# The current directory still refers to the read-only view underneath the bind
# mount; entering it again by its name makes relative paths writable too.
cd "$(pwd -P)"
exec "$@"
' sh "$dir" "$@"

#!/bin/sh
# wine-probe.sh TREE: exits 0 when Wine starts the Windows tree's smallest
# program (tests/WineProbe.exe) on this host; otherwise prints why, in one
# line, and exits 1. Whether a host runs 32-bit programs is found out by
# trying, never guessed from the kernel or the packages.
set -u

tree=$(cd "$1" && pwd)
root=$(cd "$(dirname "$0")/.." && pwd)
. "$tree/tree.env"
log=$(mktemp)
trap 'rm -f "$log"' EXIT

if OVEL_WINE_ROOT="$tree/wine" "$root/cmake/wine-run.sh" "$OVEL_WINE_ARCH" "$tree/tests/WineProbe.exe" >"$log" 2>&1; then
  exit 0
fi
reason=$(grep -v '^[[:space:]]*$' "$log" | tail -n 1)
printf "%s\n" "Wine cannot start a $OVEL_WINE_ARCH program on this host (${reason:-no message})"
exit 1

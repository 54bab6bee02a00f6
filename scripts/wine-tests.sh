#!/bin/sh
# wine-tests.sh TREE: checks the DLL exports of a Windows build tree, then runs
# its tests under Wine with a private display and sound server. A 32-bit tree
# this host cannot start is reported in one line and counts as passed once
# built and checked; any other tree that cannot run fails.
set -eu

tree=$(cd "$1" && pwd)
scripts=$(dirname "$0")
. "$tree/tree.env"

"$scripts/check-exports.sh" "$OVEL_PROGRAM_DIR"
if ! why=$("$scripts/wine-probe.sh" "$tree"); then
  if [ "$OVEL_WINE_ARCH" = win32 ]; then
    printf "%s\n" "== 32-bit Windows tests: built and exports checked, not run: $why =="
    exit 0
  fi
  printf "%s\n" "$why" >&2
  exit 1
fi
echo "== $OVEL_WINE_ARCH Windows tests under Wine =="
exec "$scripts/with-display.sh" ctest --test-dir "$tree" --output-on-failure --timeout 900 -j "$(nproc)"

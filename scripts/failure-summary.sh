#!/bin/sh
# failure-summary.sh TREE...: after a failed run, prints what each tree's last
# test run said where it failed (the failed assertions and test names), so the
# reason stands at the end of a long log.
set -u

for tree in "$@"; do
  log="$tree/Testing/Temporary/LastTest.log"
  [ -f "$log" ] || continue
  found=$(grep -E -A6 ': Failure$|^\[  FAILED  \]|Wine could not|Exec format error' "$log" | head -n 120)
  [ -n "$found" ] || continue
  echo "== where $tree failed =="
  printf '%s\n' "$found"
done

#!/bin/bash
# measure.sh [TREE [PATH...]]: plays each path of OutputCost (all unless
# named) for 37 s under Wine with the PulseAudio null sink and prints the CPU
# of every thread of the process over 30 s of it, in % of one core. TREE is a
# Windows build tree (build/win32 unless given). Runs itself again inside
# with-display.sh.
set -euo pipefail

root=$(cd "$(dirname "$0")/../.." && pwd)
cd "$root"
if [ -z "${OVEL_MEASURE_INSIDE:-}" ]; then
  OVEL_MEASURE_INSIDE=1 exec scripts/with-display.sh "$0" "$@"
fi

tree=${1:-build/win32}
[ $# -gt 0 ] && shift
paths=("$@")
[ ${#paths[@]} -gt 0 ] || paths=(library ds16-100 ds16-500 dsfloat-500 dsprimary shared16-500 sharedfloat-500 waveout)
. "$tree/tree.env"
program="$tree/bench/output/OutputCost.exe"
[ -f "$program" ] || { echo "$program is missing: build the tree first" >&2; exit 1; }

play_seconds=37
settle_seconds=5
measure_seconds=30

export WINEPREFIX="$root/$tree/bench/output/prefix"
. cmake/wine-env.sh
[ -d "$WINEPREFIX" ] || { "$WINELOADER" wineboot -i >/dev/null 2>&1; "$WINESERVER" -w; }
"$WINESERVER" -p
trap '"$WINESERVER" -k 2>/dev/null || true' EXIT

# tid, run time in ns, name: of every thread of process $1.
threads() {
  for task in /proc/"$1"/task/*; do
    echo "$(basename "$task") $(cut -d' ' -f1 "$task/schedstat") $(tr ' ' '_' <"$task/comm")"
  done
}

echo "load $(cut -d' ' -f1-3 /proc/loadavg) on $(nproc) cores; % of one core over ${measure_seconds} s"
for path in "${paths[@]}"; do
  "$WINELOADER" "$program" "$path" "$play_seconds" &
  pid=$!
  sleep "$settle_seconds"
  before=$(threads "$pid"); t0=$(date +%s%N)
  sleep "$measure_seconds"
  after=$(threads "$pid"); t1=$(date +%s%N)
  wait "$pid" || echo "$path: failed" >&2
  join <(sort <<<"$before") <(sort <<<"$after") | awk -v path="$path" -v ns=$((t1 - t0)) '
    { p = 100 * ($4 - $2) / ns; total += p; by[$3] += p }
    END {
      line = sprintf("%-16s process %5.2f", path, total)
      for (name in by) if (by[name] >= 0.01) line = line sprintf("  %s %.2f", name, by[name])
      print line
    }'
done

#!/bin/sh
# Runs a command while the null sink's monitor is recorded into a raw file
# (16-bit stereo at 44,100 Hz) whose Windows path the command finds in
# OVEL_SINK_RECORDING. Needs the PulseAudio daemon of scripts/with-display.sh.
set -eu

recording=$(mktemp /tmp/ovel-sink.XXXXXX)
parec --device=ovel_null.monitor --format=s16le --rate=44100 --channels=2 --latency-msec=20 >"$recording" &
parec_pid=$!
cleanup() {
  kill "$parec_pid" 2>/dev/null || true
  wait "$parec_pid" 2>/dev/null || true
  rm -f "$recording"
}
trap cleanup EXIT

status=0
OVEL_SINK_RECORDING="Z:$recording" "$@" || status=$?
exit $status

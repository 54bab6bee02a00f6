#!/bin/bash
# Runs a command with a private X server (Xvfb) and a private PulseAudio daemon
# whose only sink is a null sink, and stops both afterwards, whatever happens.
# The sink's monitor source is "ovel_null.monitor" (for recording).
set -euo pipefail

runtime=$(mktemp -d /tmp/ovel-display.XXXXXX)
xvfb_pid=""
pulse_pid=""
cleanup() {
  [ -n "$pulse_pid" ] && kill "$pulse_pid" 2>/dev/null && wait "$pulse_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
  rm -rf "$runtime"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# X: let the server pick a free display and tell us its number.
exec 3<> "$runtime/display"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -auth /dev/null >"$runtime/xvfb.log" 2>&1 &
xvfb_pid=$!
for _ in $(seq 100); do
  [ -s "$runtime/display" ] && break
  sleep 0.1
done
display=$(head -n1 "$runtime/display" | tr -d '[:space:]')
[ -n "$display" ] || { echo "Xvfb did not start:" >&2; cat "$runtime/xvfb.log" >&2; exit 1; }
export DISPLAY=":$display"

# PulseAudio: private socket, no session bus, a null sink as the default.
export HOME="$runtime/home" XDG_RUNTIME_DIR="$runtime" PULSE_RUNTIME_PATH="$runtime/pulse"
export PULSE_STATE_PATH="$runtime/pulse-state" PULSE_SERVER="unix:$runtime/pulse/native"
mkdir -p "$HOME" "$runtime/pulse"
pulseaudio -n --daemonize=no --exit-idle-time=-1 --use-pid-file=no --disallow-module-loading=no \
  --load="module-native-protocol-unix socket=$runtime/pulse/native auth-anonymous=1" \
  --load="module-null-sink sink_name=ovel_null rate=44100 channels=2" \
  >"$runtime/pulse.log" 2>&1 &
pulse_pid=$!
for _ in $(seq 100); do
  pactl info >/dev/null 2>&1 && break
  sleep 0.1
done
pactl info >/dev/null 2>&1 || { echo "PulseAudio did not start:" >&2; cat "$runtime/pulse.log" >&2; exit 1; }
pactl set-default-sink ovel_null

status=0
"$@" || status=$?
exit $status

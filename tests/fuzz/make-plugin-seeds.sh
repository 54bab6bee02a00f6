#!/bin/sh
# Seed inputs for the plug-in fuzzers: short sounds in several layouts, made
# by the system's encoders. Usage: make-plugin-seeds.sh FLAC_DIR WAVPACK_DIR
set -eu
flac_dir=$1
wv_dir=$2
mkdir -p "$flac_dir" "$wv_dir"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
sox -r 8000 -c 1 -n -b 16 "$work/mono.wav" synth 0.05 sine 440
sox -r 44100 -c 2 -n -b 24 "$work/stereo.wav" synth 0.05 sine 300 sine 470
sox -r 48000 -c 6 -n -b 16 "$work/surround.wav" synth 0.02 sine 300 sine 470 sine 610 sine 90 sine 800 sine 1200
sox -r 44100 -c 2 -n -e floating-point -b 32 "$work/float.wav" synth 0.05 sine 300 sine 470
for sound in mono stereo surround; do
  flac --silent -f -0 -b 256 -o "$flac_dir/$sound-fast.flac" "$work/$sound.wav"
  flac --silent -f -8 -b 1024 -o "$flac_dir/$sound-best.flac" "$work/$sound.wav"
done
for sound in mono stereo surround float; do
  wavpack -q -y --blocksize=1024 "$work/$sound.wav" -o "$wv_dir/$sound.wv"
  wavpack -q -y -hh -b3 --blocksize=1024 "$work/$sound.wav" -o "$wv_dir/$sound-hybrid.wv"
done

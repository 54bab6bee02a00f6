#!/bin/sh
# Installs every Debian package the build, the tests and the demo need.
# Idempotent: quick when everything is already there. The Chinese font also
# holds kana and Hangul, so Wine draws every language module in screenshots.
set -eu

PACKAGES="
  cmake ninja-build make g++ pkg-config clang-format
  g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix binutils-mingw-w64-i686
  mingw-w64-i686-dev
  g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  mingw-w64-x86-64-dev libz-mingw-w64-dev
  googletest zlib1g-dev libstb-dev libvorbis-dev libogg-dev
  clang libclang-rt-14-dev libopenal-dev libbenchmark-dev
  wine wine64 xvfb xauth pulseaudio pulseaudio-utils
  sox imagemagick lame flac wavpack ffmpeg
  gstreamer1.0-plugins-base gstreamer1.0-plugins-ugly gstreamer1.0-libav
  fonts-wqy-microhei
  python3
"

# Some kernels run 64-bit user code only; 32-bit Wine is of no use there. A
# 93-byte i386 program that exits with 0 tells.
host_runs_i386() {
  probe=$(mktemp)
  for h in 7f 45 4c 46 01 01 01 00 00 00 00 00 00 00 00 00 02 00 03 00 01 00 00 00 \
           54 80 04 08 34 00 00 00 00 00 00 00 00 00 00 00 34 00 20 00 01 00 00 00 \
           00 00 00 00 01 00 00 00 00 00 00 00 00 80 04 08 00 80 04 08 5d 00 00 00 \
           5d 00 00 00 05 00 00 00 00 10 00 00 b8 01 00 00 00 31 db cd 80; do
    printf "\\$(printf %03o "0x$h")"
  done >"$probe"
  chmod +x "$probe"
  status=0
  "$probe" 2>/dev/null || status=1
  rm -f "$probe"
  return $status
}

if host_runs_i386; then
  PACKAGES="$PACKAGES wine32:i386 gstreamer1.0-plugins-base:i386 gstreamer1.0-plugins-ugly:i386
    gstreamer1.0-libav:i386"
fi

missing=""
for p in $PACKAGES; do
  dpkg-query -W -f='${Status}\n' "$p" 2>/dev/null | grep -q '^install ok installed$' || missing="$missing $p"
done
[ -z "$missing" ] && exit 0

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO=sudo
case "$missing" in
  *:i386*)
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
      $SUDO dpkg --add-architecture i386
    fi ;;
esac
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends $missing

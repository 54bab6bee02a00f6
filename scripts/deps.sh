#!/bin/sh
# Installs every Debian package the build, the tests and the demo need.
# Idempotent: quick when everything is already there.
set -eu

PACKAGES="
  cmake ninja-build make g++ pkg-config
  g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix binutils-mingw-w64-i686
  mingw-w64-i686-dev libz-mingw-w64-dev
  googletest zlib1g-dev libstb-dev libvorbis-dev libogg-dev
  clang libclang-rt-14-dev libopenal-dev libbenchmark-dev
  wine wine32:i386 xvfb xauth pulseaudio pulseaudio-utils
  sox imagemagick lame
  python3
"

missing=""
for p in $PACKAGES; do
  dpkg-query -W -f='${Status}\n' "$p" 2>/dev/null | grep -q '^install ok installed$' || missing="$missing $p"
done
[ -z "$missing" ] && exit 0

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO=sudo
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
fi
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends $missing

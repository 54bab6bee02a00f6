# Sourced by every script that starts Wine: takes the prefix architecture
# (win32 or win64) from $OVEL_WINE_ARCH and sets the loader and server that
# run it. 32-bit programs need Wine's 32-bit loader; the 64-bit one runs the
# 64-bit tree, also on hosts that cannot execute 32-bit code.
case "${OVEL_WINE_ARCH:-}" in
  win32) ovel_wine_bits=32 ;;
  win64) ovel_wine_bits=64 ;;
  *) echo "OVEL_WINE_ARCH must be win32 or win64, not '${OVEL_WINE_ARCH:-}'" >&2; exit 2 ;;
esac
if [ "$ovel_wine_bits" = 32 ]; then
  WINELOADER=/usr/lib/wine/wine
else
  WINELOADER=/usr/lib/wine/wine64
fi
WINESERVER=/usr/lib/wine/wineserver$ovel_wine_bits
export WINEARCH="$OVEL_WINE_ARCH" WINELOADER WINESERVER
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
unset ovel_wine_bits

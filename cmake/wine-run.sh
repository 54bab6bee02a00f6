#!/bin/sh
# Runs a Windows program under Wine in a fresh prefix of its own, made from a
# template prefix that is booted once per build tree. Exits with the program's
# exit code and leaves no wineserver running.
set -eu

: "${OVEL_WINE_ROOT:=$(pwd)/wine}"
template="$OVEL_WINE_ROOT/template"

export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export WINEARCH=win32

mkdir -p "$OVEL_WINE_ROOT"
(
  flock 9
  if [ ! -f "$template/.ready" ]; then
    rm -rf "$template"
    WINEPREFIX="$template" wineboot -i >/dev/null 2>&1
    WINEPREFIX="$template" wineserver -w
    touch "$template/.ready"
  fi
) 9>"$OVEL_WINE_ROOT/.lock"

prefix=$(mktemp -d "$OVEL_WINE_ROOT/run.XXXXXX")
cleanup() {
  WINEPREFIX="$prefix" wineserver -k 2>/dev/null || true
  rm -rf "$prefix"
}
trap cleanup EXIT INT TERM

# Hard links keep the copy cheap; files Wine rewrites in place are copied.
cp -al "$template/." "$prefix/"
for f in "$prefix"/*.reg "$prefix"/drive_c/windows/*.ini; do
  [ -f "$f" ] && cp --remove-destination "$template/${f#"$prefix"/}" "$f"
done

status=0
WINEPREFIX="$prefix" wine "$@" || status=$?
WINEPREFIX="$prefix" wineserver -w 2>/dev/null || true
exit $status

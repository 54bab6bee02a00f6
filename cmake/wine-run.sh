#!/bin/sh
# wine-run.sh ARCH PROGRAM [ARGS...]: runs a Windows program under Wine in a
# fresh prefix of its own (ARCH: win32 or win64), made from a template prefix
# that is booted once per build tree. Exits with the program's exit code and
# leaves no wineserver running.
set -eu

OVEL_WINE_ARCH=$1
shift
. "$(dirname "$0")/wine-env.sh"

: "${OVEL_WINE_ROOT:=$(pwd)/wine}"
template="$OVEL_WINE_ROOT/template"

mkdir -p "$OVEL_WINE_ROOT"
(
  flock 9
  if [ ! -f "$template/.ready" ]; then
    rm -rf "$template"
    if ! WINEPREFIX="$template" "$WINELOADER" wineboot -i >"$OVEL_WINE_ROOT/wineboot.log" 2>&1; then
      echo "Wine could not make a $OVEL_WINE_ARCH prefix:" >&2
      tail -n 3 "$OVEL_WINE_ROOT/wineboot.log" >&2
      exit 127
    fi
    WINEPREFIX="$template" "$WINESERVER" -w
    touch "$template/.ready"
  fi
) 9>"$OVEL_WINE_ROOT/.lock"

prefix=$(mktemp -d "$OVEL_WINE_ROOT/run.XXXXXX")
cleanup() {
  WINEPREFIX="$prefix" "$WINESERVER" -k 2>/dev/null || true
  rm -rf "$prefix"
}
trap cleanup EXIT INT TERM

# Hard links keep the copy cheap; files Wine rewrites in place are copied.
cp -al "$template/." "$prefix/"
for f in "$prefix"/*.reg "$prefix"/drive_c/windows/*.ini; do
  [ -f "$f" ] && cp --remove-destination "$template/${f#"$prefix"/}" "$f"
done

# The user's shell folders (Desktop, Documents, ...) are links into the home of
# whoever booted the template, which may be gone: each run gets folders of its own.
for link in "$prefix"/drive_c/users/*/*; do
  if [ -L "$link" ]; then
    rm "$link"
    mkdir "$link"
  fi
done

status=0
WINEPREFIX="$prefix" "$WINELOADER" "$@" || status=$?
WINEPREFIX="$prefix" "$WINESERVER" -w 2>/dev/null || true
exit $status

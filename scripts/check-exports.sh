#!/bin/sh
# check-exports.sh DIR: the audio DLLs in DIR export exactly the functions of
# platform/audio/win/exports.txt, undecorated (bassmix.dll only the mixer's).
set -eu

dir=$1
list="$(dirname "$0")/../platform/audio/win/exports.txt"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The export table's name list: the lines "[ n] Name" after its heading.
exported() {
  x86_64-w64-mingw32-objdump -p "$dir/$1" |
    sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' |
    sed -n 's/^[[:space:]]*\[[[:space:]]*[0-9]*\][[:space:]]*//p' | sort
}

status=0
for dll in bass bassmix; do
  case $dll in
    bass) pattern='^BASS_' ;;
    bassmix) pattern='^BASS_Mixer_' ;;
  esac
  grep '^[A-Za-z]' "$list" | cut -d' ' -f1 | grep "$pattern" | sort >"$work/listed"
  exported "$dll.dll" >"$work/built"
  if ! diff "$work/built" "$work/listed" >"$work/diff"; then
    echo "$dir/$dll.dll: exports differ from exports.txt (< built, > listed):" >&2
    cat "$work/diff" >&2
    status=1
  fi
done
[ $status -eq 0 ] && echo "$dir: bass.dll and bassmix.dll export exactly exports.txt"
exit $status

#!/usr/bin/env bash
# Runs the Windows build (under Wine) and the Linux build on the same
# recordings and compares what they leave: the same console text and
# status, byte-identical .h264 and .wav files, and timestamp files that
# differ only in ending every line with CR LF.
#
#   compare_with_linux.sh WINE HXDEMUX.EXE LINUX_HXDEMUX RECORDING...
set -euo pipefail
wine=$1 exe=$2 linux=$3
shift 3
if [ ! -x "$linux" ]; then
  echo "SKIP: no Linux build at $linux (build the dev preset first)"
  exit 77
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

compared=0
for recording in "$@"; do
  name=$(basename "$recording")
  mkdir -p "$work/linux"
  cp "$recording" "$work/linux/rec.264"
  set +e
  (cd "$work/linux" && "$linux" rec.264 > ../linux.out)
  linux_status=$?
  # hxdemux never writes to standard error, so anything there comes from Wine
  # itself failing to start the program, which now and then happens after
  # many starts in a row: try again from a fresh copy of the recording.
  for attempt in 1 2 3; do
    rm -rf "$work/windows" && mkdir -p "$work/windows" && cp "$recording" "$work/windows/rec.264"
    (cd "$work/windows" && "$wine" "$exe" rec.264 > ../windows.out 2> ../windows.err)
    windows_status=$?
    [ -s "$work/windows.err" ] || break
  done
  set -e
  [ -s "$work/windows.err" ] && fail "$name: Wine could not run the program: $(head -c 300 "$work/windows.err")"
  [ "$linux_status" = "$windows_status" ] || fail "$name: status $windows_status on Windows, $linux_status on Linux"
  tr -d '\r' < "$work/windows.out" | cmp -s - "$work/linux.out" || fail "$name: console texts differ"
  for f in rec.h264 rec.wav; do
    cmp -s "$work/linux/$f" "$work/windows/$f" || fail "$name: $f differs"
  done
  for f in rec.video.ts.txt rec.audio.ts.txt; do
    tr -d '\r' < "$work/windows/$f" | cmp -s - "$work/linux/$f" || fail "$name: $f differs beyond line endings"
    # Every line feed has its carriage return, and there is no other.
    lf=$(tr -cd '\n' < "$work/windows/$f" | wc -c)
    crlf=$(grep -c $'\r$' "$work/windows/$f" || true)
    cr=$(tr -cd '\r' < "$work/windows/$f" | wc -c)
    [ "$lf" = "$crlf" ] && [ "$cr" = "$lf" ] || fail "$name: $f does not end every line in CR LF"
    [ "$(head -c 23 "$work/windows/$f")" = $'# timestamp format v2\r' ] || fail "$name: $f header"
  done
  rm -rf "$work/linux" "$work/windows"
  compared=$((compared + 1))
done
echo "PASS: $compared recordings give the same outputs on Windows and Linux"

#!/usr/bin/env bash
# Converts one recording into a Matroska file that plays anywhere:
#
#   scripts/hx2mkv.sh RECORDING [OUT.mkv]
#
# hxdemux splits the recording; mkvmerge muxes the H.264 stream with its
# frame times; ffmpeg adds the audio (mkvmerge does not take A-law WAV), as
# AAC. OUT.mkv defaults to the recording's base name with ".mkv". The
# hxdemux used is the one on PATH, else this checkout's release build.
set -euo pipefail

if [ $# -lt 1 ] || [ $# -gt 2 ]; then
  echo "usage: $0 RECORDING [OUT.mkv]" >&2
  exit 2
fi
input=$1

hxdemux=$(command -v hxdemux || true)
if [ -z "$hxdemux" ]; then
  hxdemux="$(cd "$(dirname "$0")/.." && pwd)/build/release/hxdemux"
fi
[ -x "$hxdemux" ] || { echo "$0: no hxdemux on PATH or in build/release" >&2; exit 2; }

# The same base name as hxdemux derives: cut at the first .264, else .265.
case "$input" in
  *.264*) base=${input%%.264*} ;;
  *.265*) base=${input%%.265*} ;;
  *) base=$input ;;
esac
output=${2:-$base.mkv}

"$hxdemux" "$input"
video_only=$(mktemp "${TMPDIR:-/tmp}/hx2mkv.XXXXXX.mkv")
trap 'rm -f "$video_only"' EXIT
mkvmerge --quiet -o "$video_only" --timestamps "0:$base.video.ts.txt" "$base.h264"
if [ "$(wc -l < "$base.audio.ts.txt")" -gt 1 ]; then
  ffmpeg -v error -y -i "$video_only" -i "$base.wav" -map 0:v -map 1:a \
    -c:v copy -c:a aac -b:a 64k "$output"
else
  cp "$video_only" "$output"
fi
echo "$output"

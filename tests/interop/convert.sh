#!/usr/bin/env bash
# The conversion script and the batch recipe of the README make files that
# play: both streams, and the expected duration.
set -euo pipefail
source "${BASH_SOURCE[0]%/*}/lib.sh"
export PATH="$(dirname "$hxdemux"):$PATH"

check_plays() {
  local streams duration
  streams=$(ffprobe -v error -show_entries stream=codec_type -of csv=p=0 "$1" | sort | tr '\n' ' ')
  [ "$streams" = "audio video " ] || fail "$1 holds streams: $streams"
  duration=$(ffprobe -v error -show_entries format=duration -of csv=p=0 "$1")
  awk -v d="$duration" -v want="$2" 'BEGIN { exit !(d >= want - 0.2 && d <= want + 0.3) }' ||
    fail "$1 lasts $duration s, not about $2 s"
  ffmpeg -v error -i "$1" -f null - || fail "$1 does not decode"
}

encode_video enc.h264 6
encode_audio enc.alaw 6
"$make_recording" enc.h264 enc.alaw one.264
"$source_dir/scripts/hx2mkv.sh" one.264 > /dev/null
check_plays one.mkv 6

mkdir -p card/DCIM/a card/DCIM/b
for n in 1 2 3; do cp one.264 "card/DCIM/a/clip$n.264"; done
cp one.264 card/DCIM/b/clip4.264
"$source_dir/scripts/hx2mkv-all.sh" card 2 > /dev/null
for f in card/DCIM/a/clip1 card/DCIM/a/clip2 card/DCIM/a/clip3 card/DCIM/b/clip4; do
  check_plays "$f.mkv" 6
done
echo "PASS"

#!/usr/bin/env bash
# Pictures split into several slices: one record per slice, one timestamp
# line per picture.
set -euo pipefail
source "${BASH_SOURCE[0]%/*}/lib.sh"

encode_video enc.h264 4 slices=4
slices=$(python3 -c "import sys,re; d=open('enc.h264','rb').read(); print(sum(1 for m in re.finditer(rb'\x00\x00\x01([\x01-\xff])', d) if m.group(1)[0] & 0x1f in (1, 5)))")
[ "$slices" = 400 ] || fail "expected 400 slices from the encoder, found $slices"
: > empty.alaw
"$make_recording" enc.h264 empty.alaw rec.264
"$hxdemux" rec.264 > /dev/null
[ "$(($(wc -l < rec.video.ts.txt) - 1))" = 100 ] || fail "not one timestamp line per picture"
mkvmerge --quiet -o video.mkv --timestamps 0:rec.video.ts.txt rec.h264
[ "$(mkv_video_times video.mkv | wc -l)" = 100 ] || fail "Matroska does not hold 100 frames"
echo "PASS"

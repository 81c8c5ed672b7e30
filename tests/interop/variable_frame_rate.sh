#!/usr/bin/env bash
# Jittered frame times and a gap of several seconds keep their times through
# mkvmerge.
set -euo pipefail
source "${BASH_SOURCE[0]%/*}/lib.sh"

encode_video enc.h264 8
encode_audio enc.alaw 8
# 200 pictures: about 40 ms apart with up to 9 ms of jitter, and after the
# hundredth, a gap of 7 seconds, as when a camera stops recording for a while.
awk 'BEGIN { srand(7); t = 0; for (i = 0; i < 200; i++) { print t; t += 31 + int(rand() * 19); if (i == 99) t += 7000 } }' > times.txt
"$make_recording" enc.h264 enc.alaw rec.264 times.txt
"$hxdemux" rec.264 > /dev/null

diff <(cat times.txt) <(tail -n +2 rec.video.ts.txt) >/dev/null || fail "timestamp lines differ from the frame times"
mkvmerge --quiet -o video.mkv --timestamps 0:rec.video.ts.txt rec.h264
mkv_video_times video.mkv > muxed.txt
diff times.txt muxed.txt >/dev/null || fail "Matroska frame times differ from the recorded ones"
echo "PASS"

#!/usr/bin/env bash
# Regenerates examples/sample.264: four seconds of ffmpeg's test pattern in
# H.264 and a 440 Hz A-law tone, wrapped by the test suite's recording writer.
# Needs ffmpeg (with libx264) and a built dev preset.
set -euo pipefail
cd "$(dirname "$0")/.."

make_recording=build/dev/tests/make_recording
[ -x "$make_recording" ] || cmake --workflow --preset dev >/dev/null
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

ffmpeg -v error -f lavfi -i testsrc=size=320x240:rate=25 -t 4 \
  -c:v libx264 -preset medium -profile:v baseline -bf 0 -g 50 -pix_fmt yuv420p \
  -x264-params keyint=50:min-keyint=50:scenecut=0 -bsf:v h264_mp4toannexb -f h264 "$work/video.h264"
ffmpeg -v error -f lavfi -i sine=frequency=440:sample_rate=8000 -t 4 \
  -c:a pcm_alaw -f alaw "$work/audio.alaw"
"$make_recording" "$work/video.h264" "$work/audio.alaw" examples/sample.264
ls -l examples/sample.264

#!/usr/bin/env bash
# Real H.264 and A-law in, through a recording and hxdemux, and back out
# through ffprobe, mkvmerge, ffmpeg and libsndfile.
set -euo pipefail
source "${BASH_SOURCE[0]%/*}/lib.sh"

encode_video enc.h264 10
encode_audio enc.alaw 10
"$make_recording" enc.h264 enc.alaw rec.264
"$hxdemux" rec.264 > console.txt

# The elementary stream is the encoder's, byte for byte, as the recording
# carries it: x264 puts three-byte start codes before some NAL units, and a
# recording has a four-byte one before each.
four_byte_start_codes enc.h264 expected.h264
cmp rec.h264 expected.h264 || fail "the .h264 output differs from the encoder's stream"
# ...and it decodes to the very same pictures.
ffmpeg -v error -i enc.h264 -f framemd5 enc.md5
ffmpeg -v error -i rec.h264 -f framemd5 rec.md5
diff enc.md5 rec.md5 >/dev/null || fail "the .h264 output decodes to other pictures"
frames=$(ffprobe -v error -count_frames -select_streams v:0 -show_entries stream=nb_read_frames -of csv=p=0 rec.h264)
[ "$frames" = 250 ] || fail "ffprobe decoded $frames frames, not 250"
expected_frames=$(ffprobe -v error -count_frames -select_streams v:0 -show_entries stream=nb_read_frames -of csv=p=0 enc.h264)
[ "$frames" = "$expected_frames" ] || fail "$frames frames against the encoder's $expected_frames"

# mkvmerge takes the frame times from the timestamp file, frame for frame.
[ "$(sed -n 1p rec.video.ts.txt)" = "# timestamp format v2" ] || fail "timestamp header"
[ "$(($(wc -l < rec.video.ts.txt) - 1))" = 250 ] || fail "not one timestamp line per picture"
mkvmerge --quiet -o video.mkv --timestamps 0:rec.video.ts.txt rec.h264
tail -n +2 rec.video.ts.txt > recorded.txt
mkv_video_times video.mkv > muxed.txt
diff recorded.txt muxed.txt >/dev/null || fail "Matroska frame times differ from the recorded offsets"

# The WAV holds exactly the source samples.
ffmpeg -v error -i rec.wav -f s16le -ac 1 -ar 8000 wav.pcm
ffmpeg -v error -f alaw -ar 8000 -ac 1 -i enc.alaw -f s16le source.pcm
cmp wav.pcm source.pcm || fail "ffmpeg decodes different samples from the WAV output"
info=$(sndfile-info rec.wav)
# 0x00010011: a WAV file of A-law samples, as libsndfile opens it.
grep -q "WAVE_FORMAT_ALAW" <<<"$info" || fail "libsndfile does not see A-law: $info"
grep -Eq "^Format *: 0x00010011" <<<"$info" || fail "libsndfile does not open it as A-law WAV: $info"
grep -Eq "Sample Rate *: 8000" <<<"$info" || fail "sample rate: $info"
grep -Eq "Channels *: 1" <<<"$info" || fail "channels: $info"
grep -Eq "Frames *: 80000" <<<"$info" || fail "frames: $info"
[ "$(($(wc -l < rec.audio.ts.txt) - 1))" = 250 ] || fail "not one audio line per 40 ms record"
echo "PASS"

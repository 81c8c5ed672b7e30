# Shared by the interop tests. Each test is called as
#   TEST.sh HXDEMUX MAKE_RECORDING SOURCE_DIR
# and exits 77 (skipped) when a tool is missing, unless CI=true, where a
# missing tool is a failure.
set -euo pipefail

hxdemux=$1
make_recording=$2
source_dir=$3

require() {
  for tool in "$@"; do
    if ! command -v "$tool" >/dev/null 2>&1; then
      if [ "${CI:-}" = "true" ]; then
        echo "FAIL: $tool is missing (install it with scripts/setup.sh)"
        exit 1
      fi
      echo "SKIP: $tool is missing (install it with scripts/setup.sh)"
      exit 77
    fi
  done
}

require ffmpeg ffprobe mkvmerge sndfile-info

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

fail() {
  echo "FAIL: $*"
  exit 1
}

# encode_video OUT SECONDS [X264_PARAMS]: 640x360 test pattern, 25 frames per
# second, no B-frames.
encode_video() {
  local params="keyint=50:min-keyint=50:scenecut=0:bframes=0"
  [ $# -ge 3 ] && params="$params:$3"
  ffmpeg -v error -f lavfi -i "testsrc2=size=640x360:rate=25" -t "$2" -c:v libx264 \
    -preset veryfast -pix_fmt yuv420p -x264-params "$params" -f h264 "$1"
}

# encode_audio OUT SECONDS: an 8 kHz A-law tone.
encode_audio() {
  ffmpeg -v error -f lavfi -i "sine=frequency=300:sample_rate=8000" -t "$2" \
    -c:a pcm_alaw -f alaw "$1"
}

# The stream with every start code widened to four bytes, as the recording
# carries it.
four_byte_start_codes() {
  python3 - "$1" "$2" <<'PY'
import re, sys
data = open(sys.argv[1], 'rb').read()
units = [u for u in re.split(rb'\x00\x00\x01', data)]
out = bytearray()
for u in units[1:]:
    out += b'\x00\x00\x00\x01' + u.rstrip(b'\x00')
open(sys.argv[2], 'wb').write(out)
PY
}

# The video packet times of a Matroska file, in milliseconds, one a line.
mkv_video_times() {
  ffprobe -v error -select_streams v:0 -show_entries packet=pts_time -of csv=p=0 "$1" |
    awk '{ printf "%d\n", $1 * 1000 + 0.5 }'
}

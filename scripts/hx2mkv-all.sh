#!/usr/bin/env bash
# Converts every recording (*.264, *.265) under a folder into Matroska, a few
# at a time:   scripts/hx2mkv-all.sh FOLDER [JOBS]
set -euo pipefail
folder=${1:?usage: $0 FOLDER [JOBS]}
jobs=${2:-$(nproc)}
find "$folder" -type f \( -name '*.264' -o -name '*.265' \) -print0 |
  xargs -0 -r -n 1 -P "$jobs" "$(dirname "$0")/hx2mkv.sh"

#!/usr/bin/env bash
# Builds and runs every test: the development build (warnings are errors),
# the same suite under AddressSanitizer and UndefinedBehaviorSanitizer (the
# fuzz corpus replay included), a one-minute fuzz run, and the Windows build
# with its suite under Wine, compared with the Linux build.
set -euo pipefail
cd "$(dirname "$0")/.."

cmake --workflow --preset dev
cmake --workflow --preset asan
bash scripts/fuzz.sh 60
cmake --workflow --preset windows

#!/usr/bin/env bash
# Builds and runs every test: the development build (warnings are errors),
# the same suite under AddressSanitizer and UndefinedBehaviorSanitizer (the
# fuzz corpus replay included), and a one-minute fuzz run.
set -euo pipefail
cd "$(dirname "$0")/.."

cmake --workflow --preset dev
cmake --workflow --preset asan
bash scripts/fuzz.sh 60

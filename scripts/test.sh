#!/usr/bin/env bash
# Builds and runs every test: the development build (warnings are errors),
# then the same suite under AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."

cmake --workflow --preset dev
cmake --workflow --preset asan

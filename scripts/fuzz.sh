#!/usr/bin/env bash
# Builds the libFuzzer harness and fuzzes the record walk for SECONDS
# (default 60), starting from the seed corpus. New inputs go to
# build/fuzz/corpus, crashes to build/fuzz/findings; copy a finding into
# tests/fuzz/corpus together with its fix.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}

cmake --workflow --preset fuzz >/dev/null
mkdir -p build/fuzz/corpus build/fuzz/findings
build/fuzz/walk_fuzzer build/fuzz/corpus tests/fuzz/corpus \
  -max_total_time="$seconds" -max_len=65536 -timeout=10 -rss_limit_mb=2048 \
  -artifact_prefix=build/fuzz/findings/ -print_final_stats=1 2>&1 | tail -n 25

#!/usr/bin/env bash
# Installs, from Debian's packages, whatever building and testing hxdemux
# needs and the machine lacks. Safe to run again: what is there is kept.
set -euo pipefail

# Libraries and toolchains, checked by package.
packages=(
  cmake ninja-build g++ libgtest-dev   # build and unit tests
  clang libclang-rt-14-dev              # the fuzzer
  g++-mingw-w64-x86-64-posix wine64     # the Windows build and its tests
)
# Tools, checked by command: name:package.
commands=(
  ffmpeg:ffmpeg ffprobe:ffmpeg mkvmerge:mkvtoolnix sndfile-info:sndfile-programs
  python3:python3
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
for entry in "${commands[@]}"; do
  command -v "${entry%%:*}" >/dev/null 2>&1 || missing+=("${entry#*:}")
done

if [ ${#missing[@]} -gt 0 ]; then
  mapfile -t missing < <(printf '%s\n' "${missing[@]}" | sort -u)
  echo "setup: installing ${missing[*]}"
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

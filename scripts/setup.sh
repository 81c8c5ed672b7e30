#!/usr/bin/env bash
# Installs, from Debian's packages, whatever building and testing hxdemux
# needs and the machine lacks. Safe to run again: present packages are kept.
set -euo pipefail

packages=(
  cmake ninja-build g++ libgtest-dev   # build and unit tests
  clang libclang-rt-14-dev              # the fuzzer
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  echo "setup: installing ${missing[*]}"
  sudo=""
  [ "$(id -u)" -eq 0 ] || sudo="sudo"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

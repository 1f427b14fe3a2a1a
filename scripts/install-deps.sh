#!/usr/bin/env bash
# Installs the Debian packages that building and testing Telvorn needs,
# only those that are missing, so a machine that has them all stays offline.
# Usage: install-deps.sh [build|test|fuzz]   (default: test, which needs everything but fuzz)
set -euo pipefail

profile="${1:-test}"
packages=(cmake ninja-build g++ make pkg-config libgtest-dev libgmock-dev googletest libbenchmark-dev
  qt6-base-dev qt6-serialport-dev qt6-qpa-plugins fonts-dejavu-core)
if [ "$profile" = fuzz ]; then
  # clang-14 with its runtime libraries (libFuzzer and the sanitizers live in
  # libclang-rt-14-dev), and llvm-14 for llvm-symbolizer's stack traces.
  packages+=(clang-14 libclang-rt-14-dev llvm-14)
fi
if [ "$profile" = test ]; then
  # The Windows registry backend is cross-compiled and its tests run under Wine.
  packages+=(g++-mingw-w64-x86-64-posix wine wine64)
  # The network feeds' end-to-end test feeds a decoder nobody here wrote.
  packages+=(dump1090-mutability)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing missing packages: ${missing[*]}"
sudo=""
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || { echo "need root or sudo to install: ${missing[*]}" >&2; exit 1; }
  sudo="sudo"
fi
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"

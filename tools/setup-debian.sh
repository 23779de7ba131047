#!/usr/bin/env bash
# Installs everything the builds and tests need on a fresh Debian 12 machine (run as root).
set -euo pipefail
export DEBIAN_FRONTEND=noninteractive
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
fi
apt-get update -qq
apt-get install -y -qq --no-install-recommends \
  cmake ninja-build g++ make pkg-config \
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix \
  mingw-w64-tools binutils-mingw-w64-i686 binutils-mingw-w64-x86-64 \
  wine wine32 wine64 xvfb xauth \
  googletest libgtest-dev libgmock-dev libbenchmark-dev \
  clang libclang-rt-14-dev \
  libpugixml-dev libssl-dev >/dev/null

#!/usr/bin/env bash
# Installs everything the builds and tests need on a fresh Debian 12 machine (run as root).
#
# wine32 (32-bit Windows programs) is installed where it can be. Without it, or on a machine
# whose kernel runs no 32-bit programs, the win32 build is still made and its tests are
# reported as skipped; cmake/wine-launch.sh then starts Wine through its 64-bit loader.
set -euo pipefail
export DEBIAN_FRONTEND=noninteractive

# A mirror in the middle of a sync serves index files of the wrong size for a while;
# try again, and go on with what could be read (the install below fails if that is too little).
apt_update() {
  for attempt in 1 2 3; do
    apt-get update -qq && return 0
    echo "apt-get update failed (attempt $attempt of 3)" >&2
    sleep $((attempt * 10))
  done
  echo "apt-get update kept failing; going on with the package lists that could be read" >&2
}

if ! dpkg --print-foreign-architectures | grep -qx i386; then
  dpkg --add-architecture i386
fi
apt_update
apt-get install -y -qq --no-install-recommends \
  cmake ninja-build g++ make pkg-config \
  g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix \
  mingw-w64-tools binutils-mingw-w64-i686 binutils-mingw-w64-x86-64 \
  wine wine64 xvfb xauth fonts-wine fonts-liberation \
  googletest libgtest-dev libgmock-dev libbenchmark-dev \
  clang libclang-rt-14-dev \
  fp-utils \
  libpugixml-dev libssl-dev openssl \
  msitools wixl >/dev/null
if ! apt-get install -y -qq --no-install-recommends wine32 >/dev/null 2>&1; then
  echo "wine32 could not be installed: the win32 tests will be skipped on this machine" >&2
fi

#!/usr/bin/env bash
# Builds the programs and the tests for another processor with Debian's
# cross toolchain, warnings as errors, and runs every test under qemu-user:
#   tests/cross.sh s390x|armhf
# Needs g++-s390x-linux-gnu (or g++-arm-linux-gnueabihf), qemu-user-static,
# and googletest (its sources, built here for the target once).
set -euo pipefail
cd "$(dirname "$0")/.."
case ${1:-} in
  s390x) triplet=s390x-linux-gnu ;;
  armhf) triplet=arm-linux-gnueabihf ;;
  *) echo "usage: tests/cross.sh s390x|armhf" >&2; exit 2 ;;
esac
gtest=build-gtest-$1
if [ ! -f "$gtest/prefix/lib/libgtest.a" ]; then
  cmake -S /usr/src/googletest -B "$gtest" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_CXX_COMPILER="$triplet-g++" -DCMAKE_C_COMPILER="$triplet-gcc" \
    -DCMAKE_SYSTEM_NAME=Linux -DBUILD_GMOCK=OFF -DCMAKE_INSTALL_PREFIX="$PWD/$gtest/prefix" \
    >/dev/null
  cmake --build "$gtest" --target install >/dev/null
fi
cmake --preset "$1" && cmake --build --preset "$1" && ctest --preset "$1"

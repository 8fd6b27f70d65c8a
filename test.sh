#!/bin/sh
# Installs what the tests need when it is missing, builds, and runs the
# whole suite. Extra arguments go to CMake (for example -DSANITIZE=ON);
# BUILD_DIR picks the build directory (default: build).
set -e
cd "$(dirname "$0")"

packages="cmake ninja-build g++ libgtest-dev ghostscript netpbm libtiff-tools
libpng-dev libjpeg-dev libtiff-dev imagemagick
cups-filters man-db enscript fonts-ipafont-mincho fonts-ipafont-gothic locales libunistring-dev nkf"
missing=""
for p in $packages; do
  dpkg -s "$p" >/dev/null 2>&1 || missing="$missing $p"
done
if [ -n "$missing" ]; then
  if [ "$(id -u)" = 0 ]; then
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $missing >/dev/null
  else
    sudo apt-get update -qq
    sudo DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $missing >/dev/null
  fi
fi

build="${BUILD_DIR:-build}"
cmake -S . -B "$build" -G Ninja "$@" >/dev/null
cmake --build "$build"
ctest --test-dir "$build" --output-on-failure -j2

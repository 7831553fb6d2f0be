#!/bin/sh
# Installs every Debian package the build, the tests and the demo need, when missing.
set -e
PACKAGES="cmake ninja-build g++ clang libclang-rt-14-dev googletest libgtest-dev libbenchmark-dev
g++-mingw-w64-i686 g++-mingw-w64-x86-64 mingw-w64-tools binutils-mingw-w64-i686
binutils-mingw-w64-x86-64 wine64 libwine-dev nlohmann-json3-dev gdal-bin python3 make bc
libgdal-dev python3-gdal python3-geopandas python3-matplotlib"
missing=""
for p in $PACKAGES; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
if [ -n "$missing" ]; then
  echo "setup: installing$missing"
  SUDO=""; [ "$(id -u)" = 0 ] || SUDO=sudo
  $SUDO apt-get update -q
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends $missing
fi

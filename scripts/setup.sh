#!/bin/sh
# Installs every Debian package the build, the tests and the demo need, when missing, and makes
# 32-bit Windows programs runnable: the i686 build is tested under 32-bit Wine, which the
# kernel of these machines cannot run natively (no 32-bit ELF), so qemu-user runs it.
set -e
PACKAGES="cmake ninja-build g++ clang libclang-rt-14-dev googletest libgtest-dev libbenchmark-dev
g++-mingw-w64-i686 g++-mingw-w64-x86-64 mingw-w64-tools binutils-mingw-w64-i686
binutils-mingw-w64-x86-64 wine64 libwine-dev nlohmann-json3-dev gdal-bin python3 make bc
libgdal-dev python3-gdal python3-geopandas python3-matplotlib
qemu-user-static wine32:i386 wine32-preloader:i386 wixl msitools"
SUDO=""; [ "$(id -u)" = 0 ] || SUDO=sudo

# wine32 and its preloader come from the i386 architecture. Without the preloader qemu
# ignores Wine's fixed address-space reservation and every 32-bit process starts for minutes.
new_architecture=""
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
  new_architecture=yes
fi
missing=""
for p in $PACKAGES; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
if [ -n "$missing" ]; then
  echo "setup: installing$missing"
  $SUDO apt-get update -q
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends $missing
elif [ -n "$new_architecture" ]; then
  $SUDO apt-get update -q
fi

# i386 ELF programs (32-bit Wine) run through qemu-i386-static. Debian registers no i386
# handler on amd64 by itself; the F flag opens the interpreter at registration, so it also
# works inside other mount namespaces.
binfmt=/proc/sys/fs/binfmt_misc
if [ ! -f "$binfmt/register" ]; then
  $SUDO mount -t binfmt_misc binfmt_misc "$binfmt" ||
    { echo "setup: cannot mount binfmt_misc: 32-bit Wine cannot run here" >&2; exit 1; }
fi
if [ ! -f "$binfmt/qemu-i386" ]; then
  printf '%s' ':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:/usr/bin/qemu-i386-static:F' |
    $SUDO tee "$binfmt/register" >/dev/null
fi

#!/bin/sh
# Runs one Windows program of the build under wine64, in the build tree's private prefix.
# The prefix is made on first use; the environment is fixed so results do not depend on
# the machine: time zone, language (ANSI code page 1252) and no Wine debug output (NIVRA_WINEDEBUG=+ole,... turns channels on).
# The prefix is a WoW64 one: wine64 starts an i686 program in 32-bit Wine by itself. A bare
# system program name (regsvr32, cscript) runs the one of the build's own bitness, as on
# 64-bit Windows: an i686 build's from SysWOW64, so that it sees the 32-bit registry view.
set -e
prog="$1"; shift
build_dir="${NIVRA_BUILD_DIR:-$(cd "$(dirname "$prog")" && while [ ! -f CMakeCache.txt ] && [ "$PWD" != / ]; do cd ..; done; pwd)}"
export WINEPREFIX="${WINEPREFIX:-$build_dir/wineprefix}"
export WINEDEBUG="${NIVRA_WINEDEBUG:--all}"
export WINEDLLOVERRIDES="mscoree,mshtml="
export TZ="${NIVRA_TEST_TZ:-Europe/Berlin}"
export LANG=C.UTF-8
unset LC_ALL DISPLAY
WINE=/usr/lib/wine/wine64
case "$prog" in
  regsvr32|cscript|wscript|reg)
    system_folder=$(sed -n 's/^NIVRA_WINDOWS_SYSTEM_FOLDER:INTERNAL=//p' "$build_dir/CMakeCache.txt" 2>/dev/null)
    prog="C:\\windows\\${system_folder:-system32}\\$prog.exe" ;;
esac
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$WINEPREFIX"
  (
    flock 9
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
      "$WINE" wineboot -i >/dev/null 2>&1 || true
      /usr/lib/wine/wineserver -w || true
    fi
  ) 9>"$WINEPREFIX.lock"
fi
exec "$WINE" "$prog" "$@"

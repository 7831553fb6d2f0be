#!/bin/sh
# Static checks of the shipped i686 DLLs: machine, exports and imports, read with objdump.
# Usage: check-deliverables.sh BUILD_DIR_WIN32
set -e
build="${1:?usage: check-deliverables.sh BUILD_DIR_WIN32}"
objdump=i686-w64-mingw32-objdump
here="$(cd "$(dirname "$0")" && pwd)"
failures=0
fail() { echo "static check FAILED: $*"; failures=$((failures + 1)); }
pass() { echo "static check passed: $*"; }

# The system DLLs a bare Windows has; anything else among the imports is a missing dependency.
SYSTEM_DLLS="kernel32.dll msvcrt.dll ole32.dll oleaut32.dll advapi32.dll shlwapi.dll user32.dll shell32.dll"

check_machine_i386() {
    if $objdump -f "$1" | grep -q "file format pei-i386"; then pass "$(basename "$1") is PE i386"
    else fail "$(basename "$1") is not PE i386"; fi
}

check_system_imports_only() {
    for dll in $($objdump -p "$1" | sed -n 's/^\tDLL Name: //p' | tr 'A-Z' 'a-z'); do
        case " $SYSTEM_DLLS " in
            *" $dll "*) ;;
            *) fail "$(basename "$1") imports $dll, which is not a system DLL"; return ;;
        esac
    done
    pass "$(basename "$1") imports only system DLLs"
}

korvex="$build/korvex/korvex.dll"
if [ ! -f "$korvex" ]; then
    fail "korvex.dll not built at $korvex"
else
    check_machine_i386 "$korvex"
    check_system_imports_only "$korvex"
    exports=$($objdump -p "$korvex" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/s/^\t\[ *[0-9]*\] //p')
    if [ "$exports" = "korvexToCSV" ]; then pass "korvex.dll exports exactly korvexToCSV, undecorated"
    else fail "korvex.dll exports: $(echo "$exports" | tr '\n' ' ')"; fi
fi

sh "$here/check-nivratesk.sh" "$build" || failures=$((failures + 1))

if [ "$failures" -ne 0 ]; then
    echo "static checks: $failures failed"
    exit 1
fi
echo "static checks: all passed"

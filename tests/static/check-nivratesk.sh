#!/bin/sh
# Static checks of the shipped 32-bit NivraTesk.dll: machine, exports by ordinal, imports
# limited to system DLLs, and the resources (version, project name, registry script, type
# library). Usage: check-nivratesk.sh BUILD_DIR_WIN32
set -eu
build_dir="${1:?usage: check-nivratesk.sh BUILD_DIR_WIN32}"
dll="$build_dir/driver/NivraTesk.dll"
objdump=i686-w64-mingw32-objdump
fail() { echo "check-nivratesk: $*" >&2; exit 1; }

[ -f "$dll" ] || fail "$dll not found (build the win32 preset first)"
headers="$($objdump -p "$dll")" || fail "objdump cannot read $dll"

echo "$headers" | grep -q "file format pei-i386" || fail "$dll is not a PE i386 image"

# Exports: five names at ordinals 1-5. objdump lists each name with its index from the
# ordinal base, so the base is read as well.
base="$(echo "$headers" | sed -n 's/.*Ordinal Base[[:space:]]*\([0-9]*\).*/\1/p' | head -n 1)"
[ -n "$base" ] || fail "no export table"
exports="$(echo "$headers" | sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' | sed -n 's/^[[:space:]]*\[ *\([0-9]*\)\] \(.*\)$/\1 \2/p')"
expected="DllMain=1 DllCanUnloadNow=2 DllGetClassObject=3 DllRegisterServer=4 DllUnregisterServer=5"
count="$(echo "$exports" | grep -c . || true)"
[ "$count" -eq 5 ] || fail "expected 5 exports, found $count: $exports"
for pair in $expected; do
  name="${pair%=*}"; ordinal="${pair#*=}"
  index="$(echo "$exports" | awk -v n="$name" '$2 == n { print $1 }')"
  [ -n "$index" ] || fail "export $name missing (names must be undecorated)"
  [ $((index + base)) -eq "$ordinal" ] || fail "export $name has ordinal $((index + base)), expected $ordinal"
done

echo "$headers" | grep -Eq "^Name[[:space:]]+[0-9a-f]+ NivraTesk\.DLL$" || fail "the export table does not name the DLL NivraTesk.DLL"

# Imports: system DLLs only, no C++ runtime or thread library DLL.
allowed=" kernel32.dll msvcrt.dll ole32.dll oleaut32.dll advapi32.dll shlwapi.dll user32.dll shell32.dll uuid.dll version.dll "
for imported in $(echo "$headers" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z'); do
  case "$allowed" in
    *" $imported "*) ;;
    *) fail "imports $imported, which is not a system DLL" ;;
  esac
done

python3 - "$dll" <<'PY' || fail "resources incomplete"
import struct, sys

data = open(sys.argv[1], "rb").read()
pe = struct.unpack_from("<I", data, 0x3C)[0]
sections_count = struct.unpack_from("<H", data, pe + 6)[0]
optional_size = struct.unpack_from("<H", data, pe + 20)[0]
optional = pe + 24
magic = struct.unpack_from("<H", data, optional)[0]
directories = optional + (96 if magic == 0x10B else 112)
rsrc_rva, rsrc_size = struct.unpack_from("<II", data, directories + 2 * 8)
sections = []
for i in range(sections_count):
    at = optional + optional_size + 40 * i
    vsize, va, raw_size, raw_at = struct.unpack_from("<IIII", data, at + 8)
    sections.append((va, max(vsize, raw_size), raw_at))

def offset(rva):
    for va, size, raw in sections:
        if va <= rva < va + size:
            return raw + rva - va
    raise SystemExit("RVA %#x outside every section" % rva)

root = offset(rsrc_rva)

def entries(directory):
    named, ids = struct.unpack_from("<HH", data, directory + 12)
    for i in range(named + ids):
        name, target = struct.unpack_from("<II", data, directory + 16 + 8 * i)
        if name & 0x80000000:
            at = root + (name & 0x7FFFFFFF)
            length = struct.unpack_from("<H", data, at)[0]
            key = data[at + 2: at + 2 + 2 * length].decode("utf-16-le")
        else:
            key = name
        yield key, target

def resource(kind, ident):
    for key, target in entries(root):
        if key != kind:
            continue
        for key2, target2 in entries(root + (target & 0x7FFFFFFF)):
            if key2 != ident:
                continue
            for _, leaf in entries(root + (target2 & 0x7FFFFFFF)):
                rva, size = struct.unpack_from("<II", data, root + leaf)
                return data[offset(rva): offset(rva) + size]
    return None

problems = []
version = resource(16, 1)
if version is None:
    problems.append("no version resource")
else:
    fixed = version.find(struct.pack("<I", 0xFEEF04BD))
    file_ms, file_ls, product_ms, product_ls = struct.unpack_from("<IIII", version, fixed + 8)
    if (file_ms, file_ls, product_ms, product_ls) != (0x00010000, 0x00000005, 0x00010000, 0x00000005):
        problems.append("version numbers are not 1.0.0.5")
    for text in ("1.0.0.5", "NivraTesk.dll", "InternalName", "OriginalFilename"):
        if text.encode("utf-16-le") not in version:
            problems.append("version resource lacks %r" % text)
    if struct.pack("<HH", 0x409, 1252) not in version:
        problems.append("version resource is not U.S. English, code page 1252")

strings = resource(6, 100 // 16 + 1)
found = None
if strings is not None:
    at = 0
    for index in range(16):
        length = struct.unpack_from("<H", strings, at)[0]
        text = strings[at + 2: at + 2 + 2 * length].decode("utf-16-le")
        if index == 100 % 16:
            found = text
        at += 2 + 2 * length
if found != "NivraTesk":
    problems.append("string 100 is %r, expected 'NivraTesk'" % found)

script = resource("REGISTRY", 101)
if script is None or b"BMNIVRATESK" not in script:
    problems.append("REGISTRY 101 missing or without the driver key")
typelib = resource("TYPELIB", 1)
if typelib is None or not typelib.startswith(b"MSFT"):
    problems.append("TYPELIB 1 missing or not a type library")

for problem in problems:
    print("check-nivratesk: " + problem, file=sys.stderr)
sys.exit(1 if problems else 0)
PY

echo "check-nivratesk: $dll passes (PE i386, exports 1-5, system imports, resources)"

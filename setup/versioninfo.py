"""The version resource of a Windows DLL, read from the file: the fixed file version and the
texts of its string table, so that the setup package takes its version, name and publisher
from the DLL it installs instead of a second copy of them."""
import struct

_FIXED_SIGNATURE = struct.pack("<I", 0xFEEF04BD)


def file_version(data):
    """The fixed file version, "a.b.c.d"."""
    at = data.find(_FIXED_SIGNATURE)
    if at < 0:
        raise ValueError("no version resource")
    ms, ls = struct.unpack_from("<II", data, at + 8)
    return "%d.%d.%d.%d" % (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF)


def string_value(data, name):
    """The value of a StringFileInfo entry (CompanyName, ProductName...), or None."""
    key = (name + "\0").encode("utf-16-le")
    at = data.find(key)
    while at >= 0 and at % 2:
        at = data.find(key, at + 1)
    if at < 0:
        return None
    start = at + len(key)
    start += (4 - start % 4) % 4  # the value starts on a 32-bit boundary
    end = start
    while end + 1 < len(data) and data[end:end + 2] != b"\0\0":
        end += 2
    return data[start:end].decode("utf-16-le")


def read(path):
    """{"version", "product", "company", "description"} of the DLL at path."""
    with open(path, "rb") as f:
        data = f.read()
    info = {"version": file_version(data)}
    for field, name in (("product", "ProductName"), ("company", "CompanyName"), ("description", "FileDescription")):
        info[field] = string_value(data, name)
        if not info[field]:
            raise ValueError("the version resource has no " + name)
    if string_value(data, "FileVersion") != info["version"]:
        raise ValueError("FileVersion text %r differs from the fixed version %s" % (string_value(data, "FileVersion"), info["version"]))
    return info


if __name__ == "__main__":
    import sys
    print(read(sys.argv[1]))

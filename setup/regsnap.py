"""Snapshots of a Wine prefix's registry, read from the files wineserver keeps it in, and
the difference between two snapshots.

A snapshot maps every key (its path under HKLM or HKCU, compared without regard to case, as
the registry does) to its values; a value is kept as the text the registry file holds after
the "=" (for instance "str" or dword:00000001), so values of every type compare exactly.
Read a prefix only while no Wine process runs in it (`wineserver -w` first): the server
writes the files when it exits.
"""
import re

ROOTS = (("system.reg", "HKLM"), ("user.reg", "HKCU"))
_KEY_LINE = re.compile(r"^\[(.*)\](?: \d+)?$")
_VALUE_LINE = re.compile(r'^(@|"(?:[^"\\]|\\.)*")=(.*)$')


def _unescape(text):
    """The registry file's escapes (\\\\, \\", \\n, \\xABCD...) as the characters they stand for."""
    out, i = [], 0
    while i < len(text):
        c = text[i]
        if c != "\\" or i + 1 == len(text):
            out.append(c)
            i += 1
            continue
        n = text[i + 1]
        if n == "x":
            digits = re.match(r"[0-9a-fA-F]{1,4}", text[i + 2:])
            out.append(chr(int(digits.group(0), 16)) if digits else "x")
            i += 2 + (len(digits.group(0)) if digits else 0)
            continue
        out.append({"n": "\n", "r": "\r", "t": "\t", "0": "\0"}.get(n, n))
        i += 2
    return "".join(out)


def _logical_lines(path):
    """Lines of a registry file with hex continuations ("\\" at the end) joined."""
    with open(path, encoding="utf-8", errors="surrogateescape") as f:
        pending = ""
        for raw in f:
            line = raw.rstrip("\n")
            if pending:
                line = pending + line.lstrip()
                pending = ""
            if line.endswith("\\") and not line.endswith("\\\\"):
                pending = line[:-1]
                continue
            yield line
        if pending:
            yield pending


def read_hive(path, root):
    """{lower-case key path: (key path, {lower-case value name: (value name, data)})}."""
    keys, values = {}, None
    for line in _logical_lines(path):
        key = _KEY_LINE.match(line)
        if key:
            name = root + "\\" + _unescape(key.group(1))
            values = keys.setdefault(name.lower(), (name, {}))[1]
            continue
        if values is None or not line or line[0] in ";#":
            continue
        value = _VALUE_LINE.match(line)
        if value:
            name = "@" if value.group(1) == "@" else _unescape(value.group(1)[1:-1])
            data = value.group(2)
            if data.startswith('"') and data.endswith('"'):
                data = _unescape(data[1:-1])
            values[name.lower()] = (name, data)
    return keys


def snapshot(prefix):
    """The machine and user hives of a prefix, in one map. A key the file names only as the
    parent of others (the server writes no section for a key without values) is there too."""
    keys = {}
    for file_name, root in ROOTS:
        keys.update(read_hive(prefix + "/" + file_name, root))
    for path, _values in list(keys.values()):
        parts = path.split("\\")
        for n in range(2, len(parts)):
            parent = "\\".join(parts[:n])
            keys.setdefault(parent.lower(), (parent, {}))
    return keys


def _link_target(values):
    """Where a symbolic link key points ("\\Registry\\Machine\\X" as "HKLM\\X"), or None."""
    link = values.get("symboliclinkvalue")
    if not link or not link[1].startswith("hex(6):"):
        return None
    target = bytes(int(b, 16) for b in link[1][len("hex(6):"):].split(",") if b).decode("utf-16-le")
    for prefix, root in (("\\registry\\machine\\", "HKLM\\"), ("\\registry\\user\\", "HKU\\")):
        if target.lower().startswith(prefix):
            return root + target[len(prefix):]
    return None


# Keys Wine rewrites on every start (network cards and display devices found again), which no
# installation wrote.
WINE_NOISE = (
    r"HKLM\\Software\\Microsoft\\Windows NT\\CurrentVersion\\NetworkCards",
    r"HKLM\\Software\\Wow6432Node\\Microsoft\\Windows NT\\CurrentVersion\\NetworkCards",
    r"HKLM\\System\\CurrentControlSet\\Control\\Class\\",
)

CLASSES = "HKLM\\Software\\Classes"
WOW64_NODE = "Wow6432Node"


def view32(snap):
    """The machine's classes and software keys as a 32-bit program sees them, under the names
    "HKCR" and "HKLM\\Software" it opens. Its HKLM\\Software is the 64-bit one's Wow6432Node
    key (less Classes); in its HKCR a key of Classes\\Wow6432Node (CLSID, Interface, and the
    links to the shared AppID and TypeLib keys) stands in for the same-named key of Classes,
    and the other keys of Classes (ProgIDs) are shared by both views."""
    children = {}
    for lower, (path, _values) in snap.items():
        parent = lower.rsplit("\\", 1)[0]
        if parent != lower:
            children.setdefault(parent, []).append(lower)
    view = {}

    def resolve(physical, depth=0):
        target = _link_target(snap[physical][1])
        if target is None:
            return physical
        if depth > 16 or target.lower() not in snap:
            return None
        return resolve(target.lower(), depth + 1)

    def walk(physical, shown):
        physical = resolve(physical)
        if physical is None:
            return
        view[shown.lower()] = (shown, snap[physical][1])
        for child in children.get(physical, ()):
            walk(child, shown + "\\" + _leaf(snap[child][0]))

    def top_level(parent):
        return {_leaf(snap[c][0]).lower(): c for c in children.get(parent.lower(), ())}

    def walk_merged(shared, redirected, shown, skip=()):
        keys = top_level(shared)
        keys.update(top_level(redirected))
        view[shown.lower()] = (shown, {})
        for name, child in keys.items():
            if name not in skip:
                walk(child, shown + "\\" + _leaf(snap[child][0]))

    walk_merged(CLASSES, CLASSES + "\\" + WOW64_NODE, "HKCR", skip=(WOW64_NODE.lower(),))
    walk_merged("HKLM\\Software\\" + WOW64_NODE, "HKLM\\Software\\" + WOW64_NODE, "HKLM\\Software",
                skip=("classes",))
    return view


def _leaf(path):
    return path.rsplit("\\", 1)[1]


def entries(snap, ignore=(), replacements=()):
    """The snapshot as a set of lines "[key]" and "[key] name = data", every key outside the
    ignored patterns (regular expressions matched at the key path's start, without regard to
    case), with each replacement (text, stand-in) made in key paths and data, ignoring case."""
    ignored = [re.compile(p, re.IGNORECASE) for p in ignore]
    swaps = [(re.compile(re.escape(text), re.IGNORECASE), stand_in) for text, stand_in in replacements]

    def swap(text):
        for pattern, stand_in in swaps:
            text = pattern.sub(lambda _m: stand_in, text)
        return text

    out = set()
    for key, values in snap.values():
        if any(p.match(key) for p in ignored):
            continue
        shown = swap(key)
        out.add("[" + shown + "]")
        for name, data in values.values():
            out.add("[" + shown + "] " + name + " = " + swap(data))
    return out


def difference(before, after):
    """(added, removed): the lines of `after` not in `before`, and those gone from it."""
    return after - before, before - after


def describe(added, removed):
    """The difference as sorted text: "+ line" for every line added, "- line" for every line gone."""
    return "".join(sorted(["+ " + line + "\n" for line in added] + ["- " + line + "\n" for line in removed]))

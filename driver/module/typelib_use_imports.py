#!/usr/bin/env python3
"""Turns widl's local copy of an imported interface back into a reference to the imported one.

widl adds every interface a coclass lists as a typeinfo of the library itself, without looking
into the libraries named by importlib: a coclass whose default interface is IUnknown makes the
library carry its own IUnknown, and through QueryInterface's REFIID a GUID alias and a record.
This step edits the type library widl wrote (the MSFT format):

- the coclass references (and inheritance links) to the local copy become references to the
  interface of that name in the imported library, through an import record as widl writes for
  IDispatch;
- the local copy and the typeinfos only it used are dropped, with their names, type
  descriptions, array descriptions and member data;
- the "Created by WIDL ... at <time>" note and its time stamp take SOURCE_DATE_EPOCH (0 when
  unset), so that the same sources give the same bytes.

Nothing is renumbered: widl writes these copies last, and every part this step drops must lie at
the end of its segment. Whenever the input has another shape the step fails rather than guess.

usage: typelib_use_imports.py IN.tlb OUT.tlb --import NAME=IMPORTED.tlb [--import ...]
"""
import argparse
import os
import struct
import sys
import time
import uuid

HEADER_FIELDS = ("magic1 magic2 posguid lcid lcid2 varflags version flags nrtypeinfos helpstring "
                 "helpstringcontext helpcontext nametablecount nametablechars NameOffset helpfile "
                 "CustomDataOffset res44 res48 dispatchpos nimpinfos").split()
SEGMENTS = ("TypeInfo ImpInfo ImpFiles Ref GuidHash Guid NameHash Name String TypeDesc ArrayDesc "
            "CustData CDGuids Res0E Res0F").split()
TYPEINFO_SIZE = 0x64
GUID_ENTRY_SIZE = 24
NAME_HASH_BUCKETS = 0x80
HELPDLL_FLAG = 0x100
IMPINFO_OFFSET_IS_GUID = 0x10000
TKIND_RECORD, TKIND_INTERFACE, TKIND_DISPATCH, TKIND_COCLASS, TKIND_ALIAS = 1, 3, 4, 5, 6
VT_PTR, VT_SAFEARRAY, VT_CARRAY, VT_USERDEFINED = 0x1a, 0x1b, 0x1c, 0x1d
VT_BSTR, VT_UI4 = 8, 0x13
# The custom data MIDL and widl write about themselves: compile time and creator text
# (de77ba64 is the compiler version, left as it is).
GUID_COMPILE_TIME = uuid.UUID("de77ba63-517c-11d1-a2da-0000f8773ce9")
GUID_CREATOR = uuid.UUID("de77ba65-517c-11d1-a2da-0000f8773ce9")


class TypeLibError(Exception):
    pass


def check(condition, message):
    if not condition:
        raise TypeLibError(message)


def i32(data, offset):
    return struct.unpack_from("<i", data, offset)[0]


def put_i32(data, offset, value):
    struct.pack_into("<i", data, offset, value)


class TypeLib:
    """The parts of an MSFT type library this step reads and rewrites."""

    def __init__(self, data, strict=True):
        check(len(data) >= 0x54 and data[:4] == b"MSFT", "not an MSFT type library")
        self.header = dict(zip(HEADER_FIELDS, struct.unpack_from("<21i", data, 0)))
        self.extra = data[0x54:0x58] if self.header["varflags"] & HELPDLL_FLAG else b""
        count = self.header["nrtypeinfos"]
        offsets_at = 0x54 + len(self.extra)
        self.typeinfo_offsets = list(struct.unpack_from("<%di" % count, data, offsets_at))
        segdir_at = offsets_at + 4 * count
        directory = [struct.unpack_from("<4i", data, segdir_at + 16 * i) for i in range(len(SEGMENTS))]
        self.segment_tails = {name: entry[2:] for name, entry in zip(SEGMENTS, directory)}
        self.segments = {}
        placed = []
        for name, (offset, length, _, _) in zip(SEGMENTS, directory):
            self.segments[name] = bytearray(data[offset:offset + length] if length > 0 else b"")
            if length > 0:
                placed.append((offset, length, name))
        placed.sort()
        self.segment_order = [name for _, _, name in placed]
        self.typeinfos = [bytearray(self.segments["TypeInfo"][TYPEINFO_SIZE * i:TYPEINFO_SIZE * (i + 1)])
                          for i in range(count)]
        if not strict:
            return
        position = segdir_at + 16 * len(SEGMENTS)
        for offset, length, name in placed:
            check(offset == position, "segment %s is not where the previous one ends" % name)
            position += length
        self.data_start = position
        check(self.typeinfo_offsets == [TYPEINFO_SIZE * i for i in range(count)],
              "typeinfos are not stored in their order")
        memoffsets = [self.field(i, 1) for i in range(count)]
        check(all(m >= self.data_start for m in memoffsets) and memoffsets == sorted(memoffsets),
              "member data is not stored in typeinfo order after the segments")
        self.blocks = [data[memoffsets[i]:(memoffsets[i + 1] if i + 1 < count else len(data))]
                       for i in range(count)]

    # A typeinfo's base record, by 32-bit field number.
    def field(self, index, number):
        return i32(self.typeinfos[index], 4 * number)

    def set_field(self, index, number, value):
        put_i32(self.typeinfos[index], 4 * number, value)

    def kind(self, index):
        return self.field(index, 0) & 0xf

    def name_at(self, offset):
        names = self.segments["Name"]
        length = i32(names, offset + 8) & 0xff
        return names[offset + 12:offset + 12 + length].decode("latin-1")

    def name(self, index):
        return self.name_at(self.field(index, 13))

    def guid_at(self, offset):
        return uuid.UUID(bytes_le=bytes(self.segments["Guid"][offset:offset + 16]))

    def find_typeinfo(self, name):
        matches = [i for i in range(len(self.typeinfos)) if self.name(i) == name]
        check(len(matches) == 1, "%d typeinfos named %s" % (len(matches), name))
        return matches[0]

    def name_entries(self):
        names, offset = self.segments["Name"], 0
        while offset < len(names):
            length = i32(names, offset + 8) & 0xff
            yield offset, 12 + ((length + 3) & ~3), length
            offset += 12 + ((length + 3) & ~3)

    def ref_chain(self, offset):
        refs = self.segments["Ref"]
        while offset != -1:
            yield offset
            offset = i32(refs, offset + 12)

    def custom_data_chain(self, offset):
        entries = self.segments["CDGuids"]
        while offset != -1:
            yield offset
            offset = i32(entries, offset + 8)

    def serialize(self):
        count = len(self.typeinfos)
        self.header["nrtypeinfos"] = count
        self.segments["TypeInfo"] = bytearray(TYPEINFO_SIZE * count)  # the size, to place the others first
        self.segment_order += [n for n in SEGMENTS if self.segments[n] and n not in self.segment_order]
        position = 0x54 + len(self.extra) + 4 * count + 16 * len(SEGMENTS)
        placed = {}
        for name in self.segment_order:
            if self.segments[name]:
                placed[name] = position
                position += len(self.segments[name])
        shift = position - self.data_start
        for index in range(count):
            self.set_field(index, 1, self.field(index, 1) + shift)
        self.segments["TypeInfo"] = bytearray(b"".join(self.typeinfos))
        out = bytearray(struct.pack("<21i", *(self.header[f] for f in HEADER_FIELDS)))
        out += self.extra
        out += struct.pack("<%di" % count, *(TYPEINFO_SIZE * i for i in range(count)))
        for name in SEGMENTS:
            length = len(self.segments[name])
            out += struct.pack("<4i", placed.get(name, -1), length, *self.segment_tails[name])
        for name in self.segment_order:
            out += self.segments[name]
        for block in self.blocks:
            out += block
        return bytes(out)


class References:
    """What a set of typeinfos refers to: typeinfos (by offset), names, type and array descriptions."""

    def __init__(self, lib):
        self.lib = lib
        self.typeinfos, self.names, self.typedescs, self.arraydescs = set(), set(), set(), set()

    def type(self, datatype):
        if datatype < 0:  # a base type, stored in place
            return
        if datatype in self.typedescs:
            return
        self.typedescs.add(datatype)
        descs = self.lib.segments["TypeDesc"]
        vt = i32(descs, datatype) & 0xffff
        target = i32(descs, datatype + 4)
        if vt in (VT_PTR, VT_SAFEARRAY):
            self.type(target)
        elif vt == VT_CARRAY:
            self.arraydesc(target)
        elif vt == VT_USERDEFINED:
            self.hreftype(target)

    def arraydesc(self, offset):
        self.arraydescs.add(offset)
        self.type(i32(self.lib.segments["ArrayDesc"], offset))

    def hreftype(self, hreftype):
        if hreftype >= 0 and not hreftype & 1:  # local; odd ones are import records
            self.typeinfos.add(hreftype)

    def typeinfo(self, index):
        lib = self.lib
        self.names.add(lib.field(index, 13))
        kind = lib.kind(index)
        if kind in (TKIND_INTERFACE, TKIND_DISPATCH):
            self.hreftype(lib.field(index, 21))
        elif kind == TKIND_COCLASS:
            for ref in lib.ref_chain(lib.field(index, 21)):
                self.hreftype(i32(lib.segments["Ref"], ref))
        elif kind == TKIND_ALIAS:
            self.type(lib.field(index, 21))
        self.members(index)

    def members(self, index):
        block = self.lib.blocks[index]
        elements = self.lib.field(index, 6)
        functions, variables = elements & 0xffff, elements >> 16
        if functions + variables == 0:
            return
        records_length = i32(block, 0)
        position = 4
        for number in range(functions + variables):
            size = i32(block, position) & 0xffff
            self.type(i32(block, position + 4))
            if number < functions:
                arguments = i32(block, position + 20) & 0xffff
                first = position + size - 12 * arguments
                for argument in range(arguments):
                    self.type(i32(block, first + 12 * argument))
                    name = i32(block, first + 12 * argument + 4)
                    if name != -1:
                        self.names.add(name)
            position += size
        check(position == 4 + records_length, "member records of %s do not add up" % self.lib.name(index))
        member_names = 4 + records_length + 4 * (functions + variables)
        for number in range(functions + variables):
            self.names.add(i32(block, member_names + 4 * number))


def typelib_resource(image):
    """The first TYPELIB resource of a PE image (Wine ships stdole2.tlb as one)."""
    check(image[:2] == b"MZ", "neither a type library nor a PE image")
    pe = i32(image, 0x3c)
    check(image[pe:pe + 4] == b"PE\0\0", "not a PE image")
    sections, optional_size = struct.unpack_from("<2xH12xH", image, pe + 4)
    optional = pe + 24
    magic = struct.unpack_from("<H", image, optional)[0]
    directories = optional + (96 if magic == 0x10b else 112)
    resource_rva = i32(image, directories + 8 * 2)
    table = optional + optional_size
    for number in range(sections):
        _, size, rva, raw_size, raw = struct.unpack_from("<8s4I", image, table + 40 * number)
        if rva <= resource_rva < rva + max(size, raw_size):
            base = raw + resource_rva - rva
            break
    else:
        raise TypeLibError("no resource section")

    def entries(directory):
        named, numbered = struct.unpack_from("<HH", image, base + directory + 12)
        for k in range(named + numbered):
            yield struct.unpack_from("<II", image, base + directory + 16 + 8 * k)

    def name_of(key):
        if not key & 0x80000000:
            return key
        at = base + (key & 0x7fffffff)
        length = struct.unpack_from("<H", image, at)[0]
        return image[at + 2:at + 2 + 2 * length].decode("utf-16-le")

    level = next((target for key, target in entries(0) if name_of(key) == "TYPELIB"), None)
    check(level is not None, "no TYPELIB resource")
    while level & 0x80000000:  # name, then language
        level = next(entries(level & 0x7fffffff))[1]
    data_rva, data_size = struct.unpack_from("<II", image, base + level)
    return image[base + data_rva - resource_rva:base + data_rva - resource_rva + data_size]


def imported_interface(path, name):
    """The library id of an imported library and the kind and id of its interface `name`."""
    with open(path, "rb") as f:
        data = f.read()
    imported = TypeLib(data if data[:4] == b"MSFT" else typelib_resource(data), strict=False)
    index = imported.find_typeinfo(name)
    kind = imported.kind(index)
    check(kind in (TKIND_INTERFACE, TKIND_DISPATCH), "%s in %s is no interface" % (name, path))
    return imported.guid_at(imported.header["posguid"]), kind, imported.guid_at(imported.field(index, 11))


def import_file_offset(lib, library_guid):
    files, offset, found = lib.segments["ImpFiles"], 0, []
    while offset < len(files):
        if lib.guid_at(i32(files, offset)) == library_guid:
            found.append(offset)
        length = struct.unpack_from("<H", files, offset + 12)[0] >> 2
        offset += (14 + length + 3) & ~3
    check(len(found) == 1, "the library does not import %s exactly once" % library_guid)
    return found[0]


def link_to_import(lib, copy, imported_path):
    """Points every reference to the local copy at the imported interface; gives its hreftype."""
    name = lib.name(copy)
    library_guid, kind, interface_guid = imported_interface(imported_path, name)
    guid_offset = lib.field(copy, 11)
    check(lib.guid_at(guid_offset) == interface_guid,
          "the local %s has another id than the imported one" % name)
    import_offset = len(lib.segments["ImpInfo"])
    hreftype = import_offset | 1
    lib.segments["ImpInfo"] += struct.pack("<3i", (kind << 24) | IMPINFO_OFFSET_IS_GUID,
                                           import_file_offset(lib, library_guid), guid_offset)
    lib.header["nimpinfos"] += 1
    put_i32(lib.segments["Guid"], guid_offset + 16, hreftype)  # as widl files an imported id
    copy_ref = lib.typeinfo_offsets[copy]
    refs = lib.segments["Ref"]
    for offset in range(0, len(refs), 16):
        if i32(refs, offset) == copy_ref:
            put_i32(refs, offset, hreftype)
    for index in range(len(lib.typeinfos)):
        if index != copy and lib.kind(index) in (TKIND_INTERFACE, TKIND_DISPATCH) and lib.field(index, 21) == copy_ref:
            lib.set_field(index, 21, hreftype)
    if lib.header["dispatchpos"] == copy_ref:
        lib.header["dispatchpos"] = hreftype
    return name


def typeinfos_to_drop(lib, copies):
    """The copies and every typeinfo that only they (or others dropped) refer to."""
    dropped = set(copies)
    while True:
        users = {}
        for index in range(len(lib.typeinfos)):
            refs = References(lib)
            refs.typeinfo(index)
            for target in refs.typeinfos:
                users.setdefault(target // TYPEINFO_SIZE, set()).add(index)
        more = {t for t, u in users.items() if t not in dropped and u - {t} and u - {t} <= dropped}
        if not more:
            return dropped
        dropped |= more


def trim_to(lib, segment, keep, what):
    check(keep <= len(lib.segments[segment]), "%s beyond their segment" % what)
    del lib.segments[segment][keep:]


def drop_typeinfos(lib, dropped):
    kept_count = len(lib.typeinfos) - len(dropped)
    check(dropped == set(range(kept_count, len(lib.typeinfos))),
          "the typeinfos to drop are not the last ones: %s" % sorted(lib.name(i) for i in dropped))
    dropped_refs = {lib.typeinfo_offsets[i] for i in dropped}
    kept = References(lib)
    kept.names.add(lib.header["NameOffset"])
    for index in range(kept_count):
        kept.typeinfo(index)
    check(not kept.typeinfos & dropped_refs, "a kept typeinfo refers to a dropped one")

    # Names, type and array descriptions: keep up to the last one still in use.
    name_end = max(o + size for o, size, _ in lib.name_entries() if o in kept.names)
    typedesc_end = max(kept.typedescs, default=-8) + 8
    arraydesc_end = 0
    for offset in kept.arraydescs:
        dimensions = struct.unpack_from("<h", lib.segments["ArrayDesc"], offset + 4)[0]
        arraydesc_end = max(arraydesc_end, offset + 8 + 8 * dimensions)
    kept_names = [(o, length) for o, size, length in lib.name_entries() if o + size <= name_end]
    for offset, _ in kept_names:
        check(i32(lib.segments["Name"], offset) not in dropped_refs,
              "the name %s of a dropped typeinfo lies among the kept ones" % lib.name_at(offset))
    relink_name_hash(lib, name_end)
    trim_to(lib, "Name", name_end, "names")
    trim_to(lib, "TypeDesc", typedesc_end, "type descriptions")
    trim_to(lib, "ArrayDesc", arraydesc_end, "array descriptions")
    remaining = References(lib)
    for offset in range(0, typedesc_end, 8):
        remaining.type(offset)
    check(not remaining.typeinfos & dropped_refs and all(o < typedesc_end for o in remaining.typedescs)
          and all(o < arraydesc_end for o in remaining.arraydescs),
          "a kept type description refers to something dropped")
    guids = lib.segments["Guid"]
    for offset in range(0, len(guids), GUID_ENTRY_SIZE):
        check(i32(guids, offset + 16) not in dropped_refs, "the id %s of a dropped typeinfo stays" % lib.guid_at(offset))

    lib.header["nametablecount"] = len(kept_names)
    lib.header["nametablechars"] = sum(length for _, length in kept_names)
    lib.typeinfos = lib.typeinfos[:kept_count]
    lib.typeinfo_offsets = lib.typeinfo_offsets[:kept_count]
    lib.blocks = lib.blocks[:kept_count]


def relink_name_hash(lib, name_end):
    """Takes the dropped names out of the hash chains, keeping the order of the others."""
    table, names = lib.segments["NameHash"], lib.segments["Name"]
    check(len(table) == 4 * NAME_HASH_BUCKETS, "unexpected name hash table")
    for bucket in range(NAME_HASH_BUCKETS):
        chain, offset = [], i32(table, 4 * bucket)
        while offset != -1:
            if offset < name_end:
                chain.append(offset)
            offset = i32(names, offset + 4)
        put_i32(table, 4 * bucket, chain[0] if chain else -1)
        for here, after in zip(chain, chain[1:] + [-1]):
            put_i32(names, here + 4, after)


def pin_creation_time(lib, epoch):
    """Gives the creator note and the compile-time stamp a fixed time instead of the build's."""
    stamp = time.strftime("%a %b %e %H:%M:%S %Y", time.gmtime(epoch))
    values = lib.segments["CustData"]
    for entry in lib.custom_data_chain(lib.header["CustomDataOffset"]):
        guid = lib.guid_at(i32(lib.segments["CDGuids"], entry))
        at = i32(lib.segments["CDGuids"], entry + 4)
        vt = struct.unpack_from("<H", values, at)[0]
        if guid == GUID_COMPILE_TIME and vt == VT_UI4:
            struct.pack_into("<I", values, at + 2, epoch & 0xffffffff)
        elif guid == GUID_CREATOR and vt == VT_BSTR:
            length = i32(values, at + 2)
            text = values[at + 6:at + 6 + length].decode("latin-1")
            head, separator, when = text.partition(" at ")
            check(separator and len(when.rstrip("\n")) == len(stamp), "unexpected creator note %r" % text)
            values[at + 6:at + 6 + length] = (head + separator + stamp + when[len(stamp):]).encode("latin-1")


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("input")
    parser.add_argument("output")
    parser.add_argument("--import", dest="imports", action="append", default=[], metavar="NAME=IMPORTED.tlb",
                        help="refer to interface NAME of the imported library instead of a local copy")
    options = parser.parse_args(argv)
    try:
        with open(options.input, "rb") as f:
            lib = TypeLib(f.read())
        copies = []
        for spec in options.imports:
            name, _, path = spec.partition("=")
            copy = lib.find_typeinfo(name)
            link_to_import(lib, copy, path)
            copies.append(copy)
        if copies:
            drop_typeinfos(lib, typeinfos_to_drop(lib, copies))
        pin_creation_time(lib, int(os.environ.get("SOURCE_DATE_EPOCH", "0")))
        out = lib.serialize()
    except (TypeLibError, struct.error, OSError, ValueError) as error:
        print("typelib_use_imports: %s: %s" % (options.input, error), file=sys.stderr)
        return 1
    with open(options.output + ".part", "wb") as f:
        f.write(out)
    os.replace(options.output + ".part", options.output)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))

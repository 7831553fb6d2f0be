"""Reference converter of terminal logs to the log CSV, written independently of the C++
library so the two can be compared on many generated inputs.

Both formats are handled: the binary log (512-byte header with its signature, then typed,
length-prefixed records) and the older item stream (512-byte header, 8-byte value items,
16-byte position items, an optional end marker). convert() mirrors korvexToCSV: it answers
0 when the conversion ran to its end and -1 when an error ended it.
"""

import os
import struct
from decimal import Decimal, Context, ROUND_HALF_EVEN, ROUND_HALF_UP

CSV_HEADER = ("Long,Lat,Alt,BI,N,Nas,ApplFactor,Marker 1,Marker 2,Marker 3,Marker 4,"
              "Calibration,Nc")
LINE_END = b"\r\n"
MISSING = -9999.0
SIGNATURE = b"RNSLOGFILE V1.00"
HEADER_SIZE = 512
MAX_FILE_SIZE = 2 ** 31  # sizes are signed 32-bit: 2 GiB and more is refused


class ConversionError(Exception):
    """Anything that ends a conversion with -1."""


# ---------------------------------------------------------------------------------------
# Number formatting: fixed notation, rounding half away from zero decided on the value's
# 18-significant-digit form, no minus sign on a zero result, never an exponent.

_SIGNIFICANT18 = Context(prec=18, rounding=ROUND_HALF_EVEN)
_WIDE = Context(prec=1000, rounding=ROUND_HALF_UP)


def format_fixed(value, width, precision):
    exact = Decimal(value)  # the binary value, exactly
    if exact.is_zero():
        rounded = Decimal(0).quantize(Decimal(1).scaleb(-precision))
    else:
        short = _SIGNIFICANT18.plus(exact)
        rounded = short.quantize(Decimal(1).scaleb(-precision), rounding=ROUND_HALF_UP,
                                 context=_WIDE)
    if rounded.is_zero():
        rounded = abs(rounded)
    text = format(rounded, "f")
    return text.rjust(width)


# ---------------------------------------------------------------------------------------
# Binary stream: bytes served from memory, little-endian, Skip unchecked.

class Stream:
    def __init__(self, data):
        self.data = data
        self.pos = 0
        self.size = len(data)

    def eof(self):
        return self.pos >= self.size

    def take(self, n):
        """n bytes for a typed read; running past the end consumes what was there and fails."""
        if self.pos + n > self.size:
            self.pos = max(self.pos, self.size)
            raise ConversionError("cannot read %d bytes from input stream" % n)
        chunk = self.data[self.pos:self.pos + n]
        self.pos += n
        return chunk

    def u8(self):
        return self.take(1)[0]

    def i16(self):
        return struct.unpack("<h", self.take(2))[0]

    def u16(self):
        return struct.unpack("<H", self.take(2))[0]

    def i32(self):
        return struct.unpack("<i", self.take(4))[0]

    def single(self):
        return struct.unpack("<f", self.take(4))[0]

    def text(self, n):
        raw = self.take(n)
        zero = raw.find(b"\0")
        return raw if zero < 0 else raw[:zero]

    def skip(self, n):
        self.pos += n


# ---------------------------------------------------------------------------------------
# Binary log records. Each layout lists the payload in file order: 'b' u8, 'h' signed 16,
# 'H' unsigned 16, 'i' signed 32, 'f' single, ('s', n) text of n bytes, ('x', n) skipped.

LAYOUTS = {
    0x0000: ["i", "i", "h", "i", "b", "b", "h"] + ["b"] * 6,
    0x0011: ["h"] * 4 + ["i"],
    0x0020: ["h", "H"] + ["b"] * 4,
    0x0030: ["b"] * 4 + ["h"] * 10 + ["b"] * 2 + ["h"] * 3,
    0x0031: ["b"] * 5 + ["h"] * 4 + ["b"] * 2 + ["h"] * 2 + [("x", 29)],
    0x0040: ["h"] + ["b"] * 3 + [("x", 3)],
    0x0041: ["b", "b"],
    0x0050: ["f", "f", "f", "b"] + ["b"] * 3,
    0x0060: ["f", "h", "b", "b"],
    0x0080: ["h"] + ["b"] * 4 + [("x", 10)],
    0x0201: [("x", 204)], 0x0202: [("x", 204)],
    0x0211: [("x", 102)], 0x0212: [("x", 102)],
    0x0221: ["H"] * 6 + ["h"] * 2, 0x0222: ["H"] * 6 + ["h"] * 2,
    0x0231: [("x", 20), ("s", 12)], 0x0232: [("x", 20), ("s", 12)],
    0x0241: [("x", 224)],
    0x0251: [("x", 412)], 0x0252: [("x", 412)],
}

_FIELD_SIZE = {"b": 1, "h": 2, "H": 2, "i": 4, "f": 4}


def layout_length(layout):
    return sum(_FIELD_SIZE[f] if isinstance(f, str) else f[1] for f in layout)


def read_field(stream, field):
    if isinstance(field, tuple):
        kind, n = field
        if kind == "x":
            stream.skip(n)
            return None
        return stream.text(n)
    return {"b": stream.u8, "h": stream.i16, "H": stream.u16, "i": stream.i32,
            "f": stream.single}[field]()


def zero_fields(layout):
    return [b"" if isinstance(f, tuple) and f[0] == "s" else (0.0 if f == "f" else 0)
            for f in layout if not (isinstance(f, tuple) and f[0] == "x")]


def read_record(stream):
    """Reads one record: (type, fields). Unknown types and wrong lengths are skipped and
    come back with all-zero fields; a payload cut short by the end of the data fails."""
    rtype = stream.i16()
    length = stream.u16()
    layout = LAYOUTS.get(rtype)
    if layout is None:
        stream.skip(length)
        return None, []
    if length != layout_length(layout):
        stream.skip(length)
        return rtype, zero_fields(layout)
    values = [read_field(stream, f) for f in layout]
    return rtype, [v for v in values if v is not None]


def read_header(stream):
    """The header's signature; fields that run past the end leave the stream at its end."""
    signature = b""
    try:
        signature = stream.text(16)
        stream.skip(16)
        for n in (22, 10, 64, 24, 24, 24):
            stream.text(n)
        stream.skip(312)
    except ConversionError:
        pass
    return signature


def ascii_upper(raw):
    return bytes(c - 32 if 0x61 <= c <= 0x7A else c for c in raw)


def is_binary_log(data):
    return len(data) >= 16 and ascii_upper(Stream(data).text(16)) == SIGNATURE


def is_valid(v):
    return v == v and v not in (float("inf"), float("-inf")) and v <= 9999


class BinaryRow:
    def __init__(self):
        self.nc = MISSING
        self.clear()

    def clear(self):
        self.lat = self.long = self.alt = MISSING
        self.bi = self.n = self.appl_factor = self.nas = self.reading = MISSING
        self.markers = ",,,"

    def position_missing(self):
        return self.lat == MISSING or self.long == MISSING

    def set_reading(self, reading, n, factor):
        if is_valid(reading):
            self.reading, self.bi = reading, reading * 0.1
        else:
            self.reading = self.bi = MISSING
        self.n = n if is_valid(n) else MISSING
        self.appl_factor = float(factor)

    def set_nas(self, value):
        self.nas = float(value) if is_valid(value) else MISSING

    def csv_line(self):
        if self.position_missing():
            return ""
        parts = [format_fixed(self.long, 3, 7), format_fixed(self.lat, 3, 7),
                 format_fixed(self.alt, 0, 0)]
        parts.append(format_fixed(self.bi, 1, 2) if self.bi != MISSING else "")
        parts.append(format_fixed(self.n, 0, 0) if self.n not in (MISSING, -1.0) else "")
        parts.append(format_fixed(self.nas, 0, 0) if self.nas != MISSING else "")
        parts.append(format_fixed(self.appl_factor, 0, 0)
                     if self.appl_factor != MISSING else "")
        parts.append(self.markers)
        parts.append("1" if self.n == -1.0 else "")
        parts.append(format_fixed(self.nc, 4, 1) if self.nc != MISSING else "")
        return ",".join(parts)


def is_complete(lat, long, reading, skip_pos, skip_reading):
    if skip_pos and skip_reading:
        return True
    if not skip_pos and (lat == MISSING or lat == 0 or long == 0 or long == MISSING):
        return False
    if not skip_reading and not reading >= 0:
        return False
    return True


def markers_text(bits):
    return ",".join("1" if bits >> i & 1 else "" for i in range(4))


def apply_record(row, rtype, fields, out, skip_pos, skip_reading):
    if rtype == 0x0000:
        if not row.position_missing() and is_complete(row.lat, row.long, row.reading,
                                                      skip_pos, skip_reading):
            out.write(row.csv_line().encode("ascii") + LINE_END)
            row.clear()
        row.lat, row.long, row.alt = fields[0] / 1e7, fields[1] / 1e7, fields[2] / 10
    elif rtype == 0x0020:
        row.set_nas(fields[0])
    elif rtype == 0x0030:
        row.nc = fields[4] / 100
    elif rtype == 0x0041:
        row.markers = markers_text(fields[0])
    elif rtype == 0x0050:
        row.set_reading(fields[0], fields[2], fields[3])
    elif rtype == 0x0060:
        row.set_nas(fields[0])


def convert_binary(data, out, skip_pos, skip_reading):
    stream = Stream(data)
    read_header(stream)
    out.write(CSV_HEADER.encode("ascii") + LINE_END)
    row = BinaryRow()
    while not stream.eof():
        rtype, fields = read_record(stream)
        apply_record(row, rtype, fields, out, skip_pos, skip_reading)
    if is_complete(row.lat, row.long, row.reading, skip_pos, skip_reading):
        out.write(row.csv_line().encode("ascii") + LINE_END)


# ---------------------------------------------------------------------------------------
# Legacy item stream.

END_MARKER = 0x0D0A5A4E
SLOT_TAG = 0x08FF28B0
MISSING_INT = -9999


def bits(word, first, last):
    return (word & 0xFFFFFFFF) >> first & ((1 << (last - first + 1)) - 1)


class LegacyRow:
    def __init__(self):
        self.lat = self.long = MISSING
        self.alt = -1
        self.bi = MISSING
        self.n = self.nas = self.appl_factor = self.calibration = MISSING_INT
        self.markers = [MISSING_INT] * 4
        self.nc = self.reading = MISSING
        self.message_type = MISSING_INT

    def position_missing(self):
        return self.lat == MISSING or self.long == MISSING

    def decode(self, slots):
        if slots[0] == MISSING_INT:
            return
        w0, w1, w2 = slots[0], slots[1], slots[2]
        self.message_type = w0 & 0xF
        if self.message_type == 1:
            self.decode_type1(w0, w1)
        elif self.message_type == 3:
            self.nc = bits(w0, 22, 29) * 0.5
        elif self.message_type == 8:
            self.decode_type8(w0, w1, w2)

    def decode_type1(self, w0, w1):
        n = bits(w0, 16, 23)
        if n not in (254, 255):
            self.n = 2 * n
        if n == 254:
            self.calibration = 1
        self.reading = bits(w0, 24, 31) * 0.1 + 14
        b = bits(w1, 0, 7)
        if b != 255:
            self.bi = (0.02 * b - 1) * 10
        s = bits(w1, 8, 15)
        if s != 255:
            self.nas = 2 * s
        self.appl_factor = bits(w1, 16, 20) * 10

    def decode_type8(self, w0, w1, w2):
        self.appl_factor = bits(w0, 4, 8) * 10
        a, b = bits(w1, 0, 7), bits(w1, 8, 15)
        if a == 254 or b == 254:
            self.calibration = 1
        if a < 254 and b < 254:
            self.n = a + b
        c, d = bits(w1, 16, 23), bits(w1, 24, 31)
        if c != 255 and d != 255:
            self.nas = c + d
        r1, r2 = bits(w2, 0, 7), bits(w2, 8, 15)
        if r1 != 255 and r2 != 255:
            self.reading = (0.5 * r1 + 0.5 * r2) / 2
            self.bi = 0.2 * self.reading

    def csv_line(self):
        if self.position_missing():
            return ""
        parts = [format_fixed(self.long, 3, 7), format_fixed(self.lat, 3, 7), "%d" % self.alt]
        parts.append(format_fixed(self.bi, 1, 2) if self.bi != MISSING else "")
        for v in (self.n, self.nas, self.appl_factor):
            parts.append("%d" % v if v != MISSING_INT else "")
        parts.extend("%d" % m if m != MISSING_INT else "" for m in self.markers)
        parts.append("1" if self.calibration == 1 else "")
        parts.append(format_fixed(self.nc, 4, 1) if self.nc != MISSING else "")
        return ",".join(parts)


class LegacyConverter:
    def __init__(self, out, skip_pos, skip_reading):
        self.out = out
        self.skip_pos, self.skip_reading = skip_pos, skip_reading
        self.slots = [MISSING_INT] * 8
        self.saved_nc = MISSING
        self.saved_markers = [MISSING_INT] * 4
        self.row = LegacyRow()

    def end_group(self):
        row = self.row
        row.decode(self.slots)
        if not row.position_missing():
            if row.nc == MISSING:
                row.nc = self.saved_nc
            else:
                self.saved_nc = row.nc
            row.markers = list(self.saved_markers)
            if row.message_type == 7:
                for i in range(4):
                    self.saved_markers[i] = 1 if bits(self.slots[0], 4 + i, 4 + i) else MISSING_INT
                row.markers = list(self.saved_markers)
            if row.message_type in (1, 8) and is_complete(row.lat, row.long, row.reading,
                                                          self.skip_pos, self.skip_reading):
                self.out.write(row.csv_line().encode("ascii") + LINE_END)
        self.slots = [MISSING_INT] * 8
        self.row = LegacyRow()

    def run(self, data):
        p, size = HEADER_SIZE, len(data)
        while size - p >= 4:
            tag = struct.unpack_from(">I", data, p)[0]
            if tag == END_MARKER:
                break
            if tag == SLOT_TAG:
                self.end_group()
            if SLOT_TAG <= tag <= SLOT_TAG + 7:
                if size - p < 8:
                    break
                self.slots[tag - SLOT_TAG] = struct.unpack_from("<i", data, p + 4)[0]
                p += 8
            else:
                if size - p < 16:
                    break
                lat, long = struct.unpack_from("<ii", data, p + 2)
                self.row.alt = data[p + 1]
                self.row.lat, self.row.long = lat / 1e7, long / 1e7
                p += 16


def convert_legacy(data, out, skip_pos, skip_reading):
    out.write(CSV_HEADER.encode("ascii") + LINE_END)
    LegacyConverter(out, skip_pos, skip_reading).run(data)


# ---------------------------------------------------------------------------------------
# Entry point.

def read_input(path):
    with open(path, "rb") as f:
        if os.fstat(f.fileno()).st_size >= MAX_FILE_SIZE:
            raise ConversionError("file too large")
        return f.read()


def flag(value):
    return (value & 0xFFFF) != 0


def convert(input_path, output_path, skip_pos, skip_reading):
    """Converts one log; 0 when the conversion ran to its end, -1 when an error ended it.
    The flags are passed as 32-bit values, of which only the low 16 bits count."""
    skip_pos, skip_reading = flag(skip_pos), flag(skip_reading)
    try:
        data = read_input(input_path)
    except (OSError, ConversionError):
        return -1
    converter = convert_binary if is_binary_log(data) else convert_legacy
    try:
        with open(output_path, "wb") as out:
            converter(data, out, skip_pos, skip_reading)
    except (OSError, ConversionError):
        return -1
    return 0

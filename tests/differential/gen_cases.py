"""Deterministic generator of terminal logs for the differential test.

Binary logs are built record by record and legacy logs item by item; random logs draw their
values from pools of awkward numbers (NaN, infinities, extremes, denormals, rounding ties),
and every random log also yields cut-short and byte-flipped versions. generate() writes the
files into a folder and answers the cases: a name, the input path and the flag pairs to run.
"""

import os
import random
import struct
from dataclasses import dataclass, field

SIGNATURE = b"RNSLOGFILE V1.00"
SLOT_TAG = 0x08FF28B0
END_MARKER = b"\r\nZN"

# Flag slots are 32-bit; only their low 16 bits count.
TRUE_FLAGS = (1, 65535, 0xFFFFFFFF, 0x00010001, 0x8000)
FALSE_FLAGS = (0, 65536, 0xFFFF0000)


@dataclass
class Case:
    name: str
    input_path: str
    flags: list = field(default_factory=list)   # (skipPositionCheck, skipReadingCheck) pairs
    output_path: str = None                     # None: a fresh file of the run's own
    compare_bytes: bool = True                  # False where the output's content is free


# ---------------------------------------------------------------------------------------
# Binary log builder.

def f32(value):
    return struct.pack("<f", value)


def f32_bits(pattern):
    return struct.pack("<I", pattern)


class BinaryLog:
    """A binary log built record by record: header, then type/length/payload records."""

    def __init__(self, signature=SIGNATURE, area=b"12.5ha", header_size=512):
        header = bytearray(512)
        header[0:len(signature)] = signature
        header[54:54 + len(area)] = area
        header[32:32 + 9] = b"Customer1"
        header[64:64 + 6] = b"Field7"
        self.data = bytearray(header[:header_size])

    def record(self, rtype, payload, length=None):
        length = len(payload) if length is None else length
        self.data += struct.pack("<hH", rtype, length) + payload
        return self

    def position(self, lat, long, alt, length=24):
        payload = struct.pack("<iih", lat, long, alt) + bytes(14)
        return self.record(0x0000, payload[:length].ljust(length, b"\0"))

    def reading(self, reading, n, factor, second=0.0):
        raw = lambda v: f32_bits(v) if isinstance(v, int) else f32(v)
        return self.record(0x0050, raw(reading) + raw(second) + raw(n) + bytes([factor, 0, 0, 0]))

    def nas16(self, value):
        return self.record(0x0020, struct.pack("<hH", value, 0) + bytes(4))

    def nas_single(self, value):
        raw = f32_bits(value) if isinstance(value, int) else f32(value)
        return self.record(0x0060, raw + bytes(4))

    def nc(self, value):
        return self.record(0x0030, bytes(4) + struct.pack("<h", value) + bytes(26))

    def markers(self, marker_bits):
        return self.record(0x0041, bytes([marker_bits, 0]))

    def bytes(self):
        return bytes(self.data)


# Types of the record table with their payload lengths.
RECORD_LENGTHS = {
    0x0000: 24, 0x0011: 12, 0x0020: 8, 0x0030: 32, 0x0031: 48, 0x0040: 8, 0x0041: 2,
    0x0050: 16, 0x0060: 8, 0x0080: 16, 0x0201: 204, 0x0202: 204, 0x0211: 102, 0x0212: 102,
    0x0221: 16, 0x0222: 16, 0x0231: 32, 0x0232: 32, 0x0241: 224, 0x0251: 412, 0x0252: 412,
}
UNKNOWN_TYPES = (0x0010, 0x00FF, 0x0001, 0x0051, 0x0200, 0x0203, 0x0213, 0x0240, 0x0250,
                 0x0253, 0x7FFF, -1, -32768, -0x0100, -0x7FB0)

SPECIAL_SINGLE_BITS = (0x7FC00000, 0xFFC00000, 0x7F800001, 0x7F800000, 0xFF800000,
                       0x00000001, 0x80000001, 0x007FFFFF, 0x807FFFFF, 0x80000000,
                       0x7F7FFFFF, 0xFF7FFFFF)
SPECIAL_SINGLES = (0.0, 25.0, 12.5, 0.125, 1.25, 0.05, 0.15, 2.675, 1.005, 5.25, -12.5,
                   9999.0, 9999.0001, 9999.001, 10000.0, -9999.0, -9999.9, -99990.0, -0.5,
                   -1.0, 1e38, -1e38, -3.4e38, 3.4e38, 1e20, 0.5, 1.5, 2.5, -1.5, 120.0,
                   0.004999, 0.005, 0.015, 99.95, 1234.5, -0.004)
SPECIAL_LATS = (515000000, 75000000, 0, 1, -1, -5, 5, 2 ** 31 - 1, -2 ** 31, -335000005,
                900000000, -1800000000, 123456785)
SPECIAL_ALTS = (1234, 1235, -1235, -5, -4, 4, 5, 15, 25, -25, 0, 32767, -32768, 9999)
SPECIAL_INT16 = (10000, 9999, -9999, -20000, -32768, 32767, 0, 525, -525, 5, 15, 25, -25,
                 -5, 995, -995, 125, -1)


def pick_single(rng):
    """A single-precision value, as a float or as a raw bit pattern (int)."""
    roll = rng.random()
    if roll < 0.25:
        return rng.choice(SPECIAL_SINGLE_BITS)
    if roll < 0.6:
        return rng.choice(SPECIAL_SINGLES)
    if roll < 0.9:
        return round(rng.uniform(-50, 300), rng.choice((0, 1, 2, 3)))
    return rng.getrandbits(32)


def pick_int(rng, specials, bits_count):
    if rng.random() < 0.6:
        return rng.choice(specials)
    return rng.getrandbits(bits_count) - (1 << (bits_count - 1))


def pick_reading_value(rng):
    return rng.choice((25.0, 12.5, 120.0, -1.0, -1.0, 0.0)) if rng.random() < 0.3 \
        else pick_single(rng)


def add_random_record(log, rng):
    roll = rng.random()
    if roll < 0.28:
        if rng.random() < 0.7:
            lat = rng.choice((515000000, 523456789, -335000005)) + rng.randrange(-5000, 5000)
            long = rng.choice((75000000, 135000000, -581234567)) + rng.randrange(-5000, 5000)
            log.position(lat, long, pick_int(rng, SPECIAL_ALTS, 16))
        else:
            log.position(pick_int(rng, SPECIAL_LATS, 32), pick_int(rng, SPECIAL_LATS, 32),
                         pick_int(rng, SPECIAL_ALTS, 16))
    elif roll < 0.48:
        log.reading(pick_reading_value(rng), pick_reading_value(rng),
                    rng.choice((0, 1, 3, 100, 255, rng.randrange(256))), pick_single(rng))
    elif roll < 0.53:
        log.nas16(pick_int(rng, SPECIAL_INT16, 16))
    elif roll < 0.58:
        log.nas_single(pick_single(rng))
    elif roll < 0.64:
        log.nc(pick_int(rng, SPECIAL_INT16, 16))
    elif roll < 0.71:
        log.markers(rng.choice((0x05, 0x0F, 0xF0, 0x01, 0x08, rng.randrange(256))))
    elif roll < 0.84:
        rtype = rng.choice(list(RECORD_LENGTHS))
        log.record(rtype, rng.randbytes(RECORD_LENGTHS[rtype]))
    elif roll < 0.92:
        length = rng.choice((0, 1, 7, 20, rng.randrange(64)))
        log.record(rng.choice(UNKNOWN_TYPES), rng.randbytes(length))
    else:
        rtype = rng.choice(list(RECORD_LENGTHS))
        length = RECORD_LENGTHS[rtype] + rng.choice((-1, 1, -2, 4, 8))
        if length < 0:
            length = 0
        log.record(rtype, rng.randbytes(length))


def random_binary_log(rng):
    signature = SIGNATURE if rng.random() < 0.9 else rng.choice(
        (b"rnslogfile v1.00", b"RnsLogFile V1.00"))
    log = BinaryLog(signature=signature)
    for _ in range(rng.randrange(0, 30)):
        add_random_record(log, rng)
    if rng.random() < 0.05:
        # A length that skips past the end of the data ends it cleanly.
        log.record(rng.choice(UNKNOWN_TYPES), rng.randbytes(rng.randrange(8)),
                   length=rng.choice((40000, 65535, 1000)))
    return log.bytes()


# ---------------------------------------------------------------------------------------
# Legacy log builder.

class LegacyLog:
    """A legacy log built item by item after its 512-byte header."""

    def __init__(self, header=None):
        self.data = bytearray(header if header is not None else bytes(512))

    def slot(self, k, value):
        self.data += struct.pack(">I", SLOT_TAG + k) + struct.pack("<I", value & 0xFFFFFFFF)
        return self

    def position(self, lat, long, alt, first=0, extra=bytes(6)):
        self.data += bytes([first, alt]) + struct.pack("<ii", lat, long) + extra
        return self

    def end(self):
        self.data += END_MARKER
        return self

    def raw(self, chunk):
        self.data += chunk
        return self

    def bytes(self):
        return bytes(self.data)


BYTE_POOL = (0, 1, 2, 9, 25, 40, 42, 50, 100, 127, 128, 150, 200, 253, 254, 255)


def pick_byte(rng):
    return rng.choice(BYTE_POOL) if rng.random() < 0.7 else rng.randrange(256)


def word(b0, b1, b2, b3):
    return b0 | b1 << 8 | b2 << 16 | b3 << 24


def random_message(rng):
    """Slot values (w0, w1, w2, others) of one sensor message of a random type."""
    mtype = rng.choice((1, 1, 1, 8, 8, 8, 3, 3, 7, 7, 2, 4, 0, 5, 6, 9, 15))
    w0 = word((pick_byte(rng) & 0xF0) | mtype, pick_byte(rng), pick_byte(rng), pick_byte(rng))
    if mtype == 3 and rng.random() < 0.5:
        w0 = (w0 & ~(0xFF << 22)) | rng.choice((25, 9, 0, 255, 1)) << 22
    w1 = word(pick_byte(rng), pick_byte(rng), pick_byte(rng), pick_byte(rng))
    w2 = word(pick_byte(rng), pick_byte(rng), pick_byte(rng), pick_byte(rng))
    return [w0, w1, w2] + [rng.getrandbits(32) for _ in range(5)]


def random_lat_long(rng):
    if rng.random() < 0.8:
        return (rng.choice((515000000, -335000005, 0)) + rng.randrange(-9999, 9999),
                rng.choice((75000000, 0)) + rng.randrange(-9999, 9999))
    return (pick_int(rng, SPECIAL_LATS, 32), pick_int(rng, SPECIAL_LATS, 32))


def add_random_group(log, rng):
    words = random_message(rng)
    items = []
    if rng.random() < 0.95:
        items.append(("slot", 0, words[0]))
    for k in range(1, 8):
        if rng.random() < (0.8 if k < 3 else 0.2):
            items.append(("slot", k, words[k]))
    for _ in range(rng.choice((0, 1, 1, 1, 1, 2))):
        items.append(("pos",) + random_lat_long(rng) + (pick_byte(rng),))
    if len(items) > 1 and rng.random() < 0.4:
        head, rest = items[:1], items[1:]
        rng.shuffle(rest)
        items = head + rest
    for item in items:
        if item[0] == "slot":
            log.slot(item[1], item[2])
        else:
            log.position(item[1], item[2], item[3], first=rng.randrange(256),
                         extra=rng.randbytes(6))


def random_legacy_log(rng):
    header = rng.randbytes(512) if rng.random() < 0.5 else bytes(512)
    log = LegacyLog(header)
    for _ in range(rng.randrange(0, 25)):
        roll = rng.random()
        if roll < 0.93:
            add_random_group(log, rng)
        elif roll < 0.97:
            log.raw(rng.randbytes(rng.randrange(1, 20)))
        else:
            log.slot(0, rng.getrandbits(32))
    if rng.random() < 0.3:
        log.end()
        if rng.random() < 0.5:
            add_random_group(log, rng)
    return log.bytes()


# ---------------------------------------------------------------------------------------
# Variants of a log.

def truncated(rng, data, start=0):
    return data[:rng.randrange(start, len(data))] if len(data) > start else data


def mutated(rng, data):
    out = bytearray(data)
    lo = 512 if len(out) > 520 and rng.random() < 0.85 else 0
    for _ in range(rng.randrange(1, 6)):
        i = rng.randrange(lo, len(out))
        if rng.random() < 0.5:
            out[i] ^= 1 << rng.randrange(8)
        else:
            out[i] = rng.randrange(256)
    return bytes(out)


# ---------------------------------------------------------------------------------------
# Hand-made cases.

def hand_made_binary():
    p1 = (515000000, 75000000, 1234)
    p2 = (515000100, 75000200, 1235)
    yield "bin_example_rows", BinaryLog().position(*p1).reading(25.0, 120.0, 3) \
        .position(*p2).bytes()
    yield "bin_calibration", BinaryLog().position(*p1).reading(12.5, -1.0, 0).bytes()
    yield "bin_nc_carries", BinaryLog().position(*p1).nc(525).reading(25.0, 1.0, 1) \
        .position(*p2).reading(25.0, 2.0, 2).position(*p1).nc(-525).bytes()
    yield "bin_markers", BinaryLog().position(*p1).markers(0x05).reading(1.0, 1.0, 1) \
        .position(*p2).markers(0x0F).markers(0xF0).bytes()
    yield "bin_nas", BinaryLog().position(*p1).nas16(10000).position(*p2).nas16(-20000) \
        .position(*p1).nas_single(-3.4e38).position(*p2).nas_single(9999.0).bytes()
    yield "bin_lat_zero", BinaryLog().position(0, 75000000, 10).reading(25.0, 50.0, 9) \
        .nas16(7).position(*p2).bytes()
    yield "bin_negative_reading", BinaryLog().position(*p1).reading(-0.5, 10.0, 1) \
        .position(*p2).reading(0.0, 20.0, 2).bytes()
    yield "bin_extreme_readings", BinaryLog().position(*p1).reading(-3.4e38, 1e38, 255) \
        .position(*p2).reading(0x00000001, 0x80000001, 7).position(*p1) \
        .reading(0x7FC00000, 0xFF800000, 8).position(*p2).reading(-99990.0, -9999.0, 9).bytes()
    yield "bin_wrong_lengths", BinaryLog().position(*p1).reading(25.0, 5.0, 5) \
        .position(1, 1, 1, length=20).reading(25.0, 5.0, 5).record(0x0050, bytes(15)) \
        .record(0x0030, bytes(30)).record(0x0041, bytes([0x0F])).record(0x0060, bytes(9)) \
        .position(*p2).bytes()
    yield "bin_unknown_types", BinaryLog().position(*p1).record(0x0203, bytes(7)) \
        .record(-32768, bytes(3)).record(0x0010, struct.pack("<hhB", 900, 60, 2) + bytes(3)) \
        .reading(25.0, 60.0, 1).position(*p2).bytes()
    yield "bin_huge_length", BinaryLog().position(*p1).reading(25.0, 60.0, 1) \
        .record(0x0203, bytes(10), length=40000).bytes()
    yield "bin_ties", BinaryLog().position(515000005, -75000005, -5).reading(0.125, 0.5, 1) \
        .nc(5).position(515000015, 75000015, 5).reading(12.5, 1.5, 2).nc(-25) \
        .position(1, -1, -1235).reading(-0.0, -0.5, 3).nc(15).bytes()
    yield "bin_prefix_cut", BinaryLog().position(*p1).reading(25.0, 60.0, 1).position(*p2) \
        .reading(25.0, 60.0, 1).bytes() + b"\x00\x00"
    yield "bin_payload_cut", (BinaryLog().position(*p1).reading(25.0, 60.0, 1)
                              .position(*p2).reading(25.0, 60.0, 1).bytes())[:-3]
    yield "bin_skip_tail_cut", (BinaryLog().position(*p1).reading(25.0, 60.0, 1)
                                .record(0x0040, bytes(8)).bytes())[:-2]
    yield "bin_header_only", BinaryLog().bytes()
    yield "bin_lower_signature", BinaryLog(signature=b"rnslogfile v1.00").position(*p1).bytes()
    yield "bin_other_version", BinaryLog(signature=b"RNSLOGFILE V1.01").position(*p1).bytes()
    yield "bin_signature_with_zero", BinaryLog(signature=b"RNSLOGFILE\0V1.00").bytes()
    yield "bin_signature_only", SIGNATURE
    yield "bin_signature_short", SIGNATURE[:15]
    for size in (20, 100, 511):
        yield "bin_short_header_%d" % size, BinaryLog(header_size=size).bytes()
    yield "empty", b""
    yield "one_byte", b"R"


def hand_made_legacy():
    pos = (515000000, 75000000, 123)
    type1 = 0x96FE0001
    yield "leg_calibration", LegacyLog().slot(0, type1).slot(1, word(100, 10, 3, 0)) \
        .position(*pos).slot(0, 0).bytes()
    yield "leg_type8", LegacyLog().slot(0, 0x38).slot(1, word(40, 42, 10, 12)) \
        .slot(2, word(20, 24, 0, 0)).position(*pos).slot(0, 0x08).bytes()
    yield "leg_nc_carries", LegacyLog().slot(0, 3 | 25 << 22).position(*pos) \
        .slot(0, 0x64320001).slot(1, word(60, 20, 2, 0)).position(*pos) \
        .slot(0, 3 | 9 << 22).position(*pos).slot(0, 0x64320001).position(*pos) \
        .slot(0, 0).bytes()
    yield "leg_markers", LegacyLog().slot(0, 0x57).position(*pos).slot(0, 0x64320001) \
        .position(*pos).slot(0, 0xF7).slot(0, 0x64320001).position(*pos).slot(0, 0).bytes()
    yield "leg_end_at_start", LegacyLog().end().slot(0, 0x64320001).position(*pos) \
        .slot(0, 0).bytes()
    yield "leg_cut_in_position", (LegacyLog().slot(0, 0x64320001).position(*pos)
                                  .slot(0, 0x64320001).position(*pos).bytes())[:-13]
    yield "leg_cut_in_slot0", (LegacyLog().slot(0, 0x64320001).position(*pos)
                               .slot(0, 0).bytes())[:-2]
    yield "leg_missing_slots", LegacyLog().slot(0, 0x64320001).position(*pos) \
        .slot(0, 0x08).position(*pos).slot(0, 0xFFFFD8F1).position(*pos).slot(0, 1).bytes()
    yield "leg_positions_first", LegacyLog().position(*pos).position(0, 0, 0) \
        .slot(0, 0x64320001).position(0, 75000000, 1).slot(0, 0).bytes()
    # Position items whose first bytes happen to spell a slot tag or the end marker.
    lat_like_tag = (515000000 & ~0xFFFF) | 0xB328
    yield "leg_position_reads_as_tag", LegacyLog().slot(0, 0x64320001) \
        .position(lat_like_tag, 75000000, 0xFF, first=0x08).position(*pos).slot(0, 0).bytes()
    yield "leg_position_reads_as_end", LegacyLog().slot(0, 0x64320001).position(*pos) \
        .slot(0, 0x64320001).position((515000000 & ~0xFFFF) | 0x4E5A, 75000000, 0x0A,
                                      first=0x0D).position(*pos).slot(0, 0).bytes()
    for size in (511, 512, 515, 516):
        yield "leg_size_%d" % size, LegacyLog().slot(0, 0x64320001).bytes()[:size]


# ---------------------------------------------------------------------------------------
# Number formatting sweeps: long logs whose rows walk through rounding ties and their
# nearest neighbours, one value per column kind.

def single_neighbours(value):
    """The single-precision value nearest to value and the ones just below and above it."""
    bits = struct.unpack("<I", f32(value))[0]
    return [bits - 1, bits, bits + 1] if bits & 0x7FFFFFFF not in (0, 0x7F7FFFFF) else [bits]


def sweep_logs(rng):
    # Every altitude and every Nc: ties wherever the last digit is 5.
    every16 = BinaryLog()
    for v in range(-32768, 32768):
        every16.position(515000000, 75000000, v).nc(v)
    yield "sweep_alt_nc", every16.bytes()

    # Degrees: random raw values, and values one step off a halfway point of the 7th decimal.
    degrees = BinaryLog()
    for _ in range(8000):
        degrees.position(rng.getrandbits(32) - 2 ** 31, rng.getrandbits(32) - 2 ** 31, 0)
    yield "sweep_degrees", degrees.bytes()

    # Readings whose tenth lies on or next to a halfway point of the 2nd decimal (BI), and
    # N and Nas values on or next to a halfway point of the units.
    readings = BinaryLog()
    for j in range(-3000, 3000):
        tie_bi = (2 * j + 1) / 20
        tie_units = j + 0.5
        for r, n in zip(single_neighbours(tie_bi), single_neighbours(tie_units)):
            readings.position(515000000, 75000000, 0).reading(r, n, j & 0xFF).nas_single(n)
    for exponent in range(-45, 39):
        r = rng.choice((1, -1)) * rng.uniform(1, 10) * 10.0 ** exponent
        try:
            raw = f32(r)
        except OverflowError:
            continue
        bits = struct.unpack("<I", raw)[0]
        readings.position(515000000, 75000000, 0).reading(bits, bits, 0).nas_single(bits)
    # A tenth of a reading just above 1e16 has 16 integer digits and eighths as fraction:
    # 18 significant digits then decide ties that an exact expansion would not see.
    low, high = (struct.unpack("<I", f32(v))[0] for v in (1e16, 1.1259e16))
    for _ in range(1500):
        sign = rng.choice((0, 0x80000000))
        readings.position(515000000, 75000000, 0).reading(sign | rng.randrange(low, high),
                                                          120.0, 1)
    yield "sweep_readings", readings.bytes()

    # Legacy values: every BI byte, N, Nas and reading of a type 1 message, every N, Nas and
    # reading pair of a type 8 message, every Nc of a type 3 message.
    legacy = LegacyLog()
    position = (515000000, 75000000, 1)
    for b in range(256):
        legacy.slot(0, 1 | b << 16 | b << 24).slot(1, word(b, b, b, 0)).position(*position)
        legacy.slot(0, 8 | (b & 0x1F) << 4).slot(1, word(b, 255 - b, b, b // 2)) \
            .slot(2, word(b, (b * 7) & 0xFF, 0, 0)).position(*position)
        legacy.slot(0, 3 | b << 22).position(*position)
    legacy.slot(0, 0)
    yield "sweep_legacy", legacy.bytes()


# ---------------------------------------------------------------------------------------

ALL_FLAG_PAIRS = ((False, False), (False, True), (True, False), (True, True))


def encode_flags(rng, pair):
    return tuple(rng.choice(TRUE_FLAGS if on else FALSE_FLAGS) for on in pair)


def flag_pairs(rng, count):
    pairs = rng.sample(ALL_FLAG_PAIRS, count)
    return [encode_flags(rng, pair) for pair in pairs]


def generate(folder, seed=20261210, random_binary=500, random_legacy=350,
             flags_per_case=2, failing_close=True, non_ascii_names=True):
    """Writes the logs into folder and answers the cases to run. failing_close=False leaves
    out the cases whose only failing write is the one at closing (see add_path_cases);
    non_ascii_names=False leaves out the files whose names go beyond ASCII."""
    rng = random.Random(seed)
    cases = []

    def add(name, data, flags):
        path = os.path.join(folder, name + ".log")
        with open(path, "wb") as f:
            f.write(data)
        cases.append(Case(name, path, flags))
        return path

    for name, data in list(hand_made_binary()) + list(hand_made_legacy()):
        add(name, data, [encode_flags(rng, pair) for pair in ALL_FLAG_PAIRS])
    # Paths are 8-bit texts in the ANSI code page: a name beyond ASCII must still be found.
    for name in ("bin_example_rows", "leg_type8") if non_ascii_names else ():
        with open(os.path.join(folder, name + ".log"), "rb") as f:
            add(name + "_Feld_M\u00fcller", f.read(), [encode_flags(rng, (True, True))])

    for kind, count, build in (("bin", random_binary, random_binary_log),
                               ("leg", random_legacy, random_legacy_log)):
        for i in range(count):
            data = build(rng)
            add("%s_%04d" % (kind, i), data, flag_pairs(rng, flags_per_case))
            add("%s_%04d_cut" % (kind, i), truncated(rng, data, 512 if rng.random() < 0.9 else 0),
                flag_pairs(rng, flags_per_case))
            add("%s_%04d_flip" % (kind, i), mutated(rng, data), flag_pairs(rng, flags_per_case))

    for name, data in sweep_logs(rng):
        add(name, data, [encode_flags(rng, (True, True))])

    # Every cut of one small binary log and one small legacy log.
    full_bin = BinaryLog().position(515000000, 75000000, 1234).reading(25.0, 120.0, 3) \
        .nc(525).markers(5).nas16(40).position(515000100, 75000200, 1235) \
        .reading(12.5, -1.0, 4).record(0x0040, bytes(8)).bytes()
    full_leg = LegacyLog().slot(0, 0x64320001).slot(1, word(60, 20, 2, 0)) \
        .position(515000000, 75000000, 12).slot(0, 0x38).slot(1, word(40, 42, 10, 12)) \
        .slot(2, word(20, 24, 0, 0)).position(515000000, 75000000, 13).slot(0, 0).bytes()
    for kind, data in (("bin", full_bin), ("leg", full_leg)):
        for cut in range(500, len(data)):
            add("%s_every_cut_%04d" % (kind, cut), data[:cut], [encode_flags(rng, (True, True))])

    add_path_cases(folder, rng, cases, failing_close)
    return cases


def long_logs():
    """Logs whose CSV is far larger than any write buffer."""
    binary, legacy = BinaryLog(), LegacyLog()
    for i in range(400):
        binary.position(515000000 + i, 75000000 + i, 1234).reading(25.0, 120.0, 3)
        legacy.slot(0, 0x64320001).slot(1, word(60, 20, 2, 0)).position(515000000 + i,
                                                                         75000000, 12)
    return binary.bytes(), legacy.slot(0, 0).bytes()


def add_path_cases(folder, rng, cases, failing_close):
    """Inputs and outputs that cannot be opened, and an output device that refuses writes.
    A short CSV fails only when it is flushed at closing; Wine's C runtime does not report
    that failure from fclose, so those cases are left out of runs under Wine."""
    valid_bin = os.path.join(folder, "bin_example_rows.log")
    valid_leg = os.path.join(folder, "leg_type8.log")
    missing = os.path.join(folder, "no_such_folder", "out.csv")
    both = [encode_flags(rng, (True, True))]
    cases.append(Case("missing_input", os.path.join(folder, "no_such.log"), both))
    cases.append(Case("input_is_folder", folder, both))
    cases.append(Case("bin_output_folder_missing", valid_bin, both, output_path=missing))
    cases.append(Case("leg_output_folder_missing", valid_leg, both, output_path=missing))
    cases.append(Case("bin_output_is_folder", valid_bin, both, output_path=folder))
    cases.append(Case("leg_output_is_folder", valid_leg, both, output_path=folder))
    if not os.path.exists("/dev/full"):
        return
    devices = []
    for name, data in zip(("bin_long_output_full", "leg_long_output_full"), long_logs()):
        path = os.path.join(folder, name + ".log")
        with open(path, "wb") as f:
            f.write(data)
        devices.append((name, path))
    if failing_close:
        devices += [("bin_output_full", valid_bin), ("leg_output_full", valid_leg)]
    for name, path in devices:
        cases.append(Case(name, path, both, output_path="/dev/full", compare_bytes=False))

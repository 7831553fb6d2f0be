#!/usr/bin/env python3
"""Writes a terminal folder that nobody has seen before: a few fields driven in lanes, each
logged in the binary or the older format, with a fields.txt and sometimes a CSV file written
by hand, all drawn from a random seed.

    make_terminal_folder.py FOLDER [--seed N] [--fields K]

The seed is printed first; the same seed writes the same folder again. The logs are built
with the record and item writers of tests/differential/gen_cases.py; the field shapes,
speeds, sensor values and glitches are drawn here. What goes into a folder:

- fields of a few hectares somewhere on land in the mid latitudes, driven up and down in
  lanes at 5 to 25 km/h with one position a second (or two), the lanes turned by a random
  heading, the altitude drifting slowly;
- per position the sensor's reading, its N target and the N applied (16-bit or single
  precision record), the Nc record now and then, markers held for a few positions,
  calibration rows, records the conversion ignores, and now and then a value the converter
  refuses (not a number, above 9999);
- GPS glitches: positions beyond the coordinate limits (latitude 90 and beyond, longitude
  beyond 180), positions exactly on them, and positions without a fix (0, 0);
- older-format logs with type 1 and type 8 messages, Nc (type 3) and marker (type 7)
  groups, groups without a position and other message types, with or without end marker;
- file names of the form PREFIX_FIELD_NAME_YYMMDD[_k].log, now and then one without a date
  (it lands on "Unknown_Field"); the dates lie between 1996 and 2035, years in which the
  daylight saving rules of the test's time zone are the ones of today;
- fields.txt naming most fields with farm and area (one size unreadable, one farm empty);
- a CSV file without a log beside it, with its own column order, blanks, quotes, empty
  cells, an unknown column and a line too long for one read; sometimes an empty CSV file.
"""

import argparse
import math
import os
import random
import struct
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "differential"))
from gen_cases import BinaryLog, LegacyLog, RECORD_LENGTHS, word  # noqa: E402

FIELD_WORDS = ("North", "South", "Mill", "Brook", "Long", "Upper", "Lower", "Oak", "Stone",
               "Church", "Wind", "Hollow", "Ridge", "Meadow", "Hill", "Pond", "Birch", "Lane",
               "Acre", "Croft", "East", "West", "Big", "Little", "Kamp", "Heide", "Moor")
FARM_NAMES = ("Hill Farm", "Brookside", "Hof Meyer", "Greenacres", "Old Mill Farm",
              "Ridgeway Estate")
PREFIXES = ("Log", "LOG", "Card", "N", "Log1")
EARTH_RADIUS = 6371000.0
NOISE_TYPES = (0x0011, 0x0031, 0x0040, 0x0080, 0x0201, 0x0211, 0x0221, 0x0231, 0x0241, 0x0251)


class Track:
    """Positions of one field, driven in lanes: (lat, long) in degrees and altitude in
    metres, plus a flag for the first position of a lane."""

    def __init__(self, rng, origin):
        self.rng = rng
        lat0, lon0 = origin
        width = rng.uniform(80, 400)          # across the lanes, metres
        length = rng.uniform(100, 600)        # along a lane, metres
        lane = rng.choice((12.0, 15.0, 18.0, 24.0, 27.0, 36.0))
        speed = rng.uniform(5, 25) / 3.6      # metres a second
        step = speed * rng.choice((1.0, 1.0, 2.0))
        heading = rng.uniform(0, math.pi)
        self.points = []
        alt = rng.uniform(20, 600)
        lanes = max(2, min(int(width / lane), rng.randint(3, 9)))
        for k in range(lanes):
            along = [i * step for i in range(int(length / step) + 1)]
            if k % 2:
                along.reverse()
            for i, a in enumerate(along):
                x, y = a + rng.gauss(0, 0.3), k * lane + rng.gauss(0, 0.3)
                east = x * math.cos(heading) - y * math.sin(heading)
                north = x * math.sin(heading) + y * math.cos(heading)
                lat = lat0 + math.degrees(north / EARTH_RADIUS)
                lon = lon0 + math.degrees(east / (EARTH_RADIUS * math.cos(math.radians(lat0))))
                alt += rng.gauss(0, 0.15)
                self.points.append((lat, lon, alt, i == 0))


def glitch_position(rng, lat, lon):
    """A position a receiver may report: beyond the limits, on them, or without a fix."""
    return rng.choice((
        (90.0, lon), (-90.0, lon), (lat, 180.0), (lat, -180.0),
        (90.0 + rng.uniform(0.001, 50), lon), (-90.0 - rng.uniform(0.001, 50), lon),
        (lat, 180.0 + rng.uniform(0.001, 30)), (lat, -180.0 - rng.uniform(0.001, 30)),
        (lat + rng.choice((90, -180, 120)), lon), (0.0, 0.0), (0.0, lon)))


def raw_degrees(value):
    """Degrees as the log's signed 32-bit ten-millionths (clipped to what fits)."""
    return max(-2 ** 31, min(2 ** 31 - 1, round(value * 1e7)))


class Sensor:
    """The sensor's values along a track: slowly varying biomass and N figures."""

    def __init__(self, rng):
        self.rng = rng
        self.reading = rng.uniform(10, 60)
        self.n_target = rng.uniform(40, 160)
        self.factor = rng.randrange(0, 32)
        self.nc = rng.uniform(20, 46)

    def next(self):
        rng = self.rng
        self.reading = min(150.0, max(0.0, self.reading + rng.gauss(0, 1.5)))
        self.n_target = min(240.0, max(0.0, self.n_target + rng.gauss(0, 2.0)))
        if rng.random() < 0.03:
            self.factor = rng.randrange(0, 32)
        return self.reading, self.n_target

    def next_nc(self):
        self.nc = min(80.0, max(1.0, self.nc + self.rng.gauss(0, 1.0)))
        return self.nc


def binary_log(rng, track):
    log = BinaryLog()
    sensor = Sensor(rng)
    calibration_left = 0
    marker_bits, marker_left = 0, 0
    glitch_rate = rng.choice((0.01, 0.03, 0.08))
    if rng.random() < 0.8:
        log.nc(round(sensor.next_nc() * 100))
    for lat, lon, alt, lane_start in track.points:
        if rng.random() < glitch_rate:
            lat, lon = glitch_position(rng, lat, lon)
        log.position(raw_degrees(lat), raw_degrees(lon), max(-32768, min(32767, round(alt * 10))))
        if lane_start and rng.random() < 0.3:
            calibration_left = rng.randint(1, 4)
        reading, n_target = sensor.next()
        applied = n_target * sensor.factor / 31
        roll = rng.random()
        if roll < 0.04:
            pass  # no sensor record for this position: the row keeps nothing new
        else:
            if calibration_left:
                n_target, calibration_left = -1.0, calibration_left - 1
            elif roll < 0.06:
                n_target = rng.choice((float("nan"), 10000.0, float("inf")))
            elif roll < 0.08:
                reading = rng.choice((float("nan"), 12000.0, -0.5))
            log.reading(reading, n_target, sensor.factor, second=rng.uniform(0, 5))
        nas_roll = rng.random()
        if nas_roll < 0.45:
            log.nas16(rng.choice((10000, -20000)) if rng.random() < 0.02 else round(applied))
        elif nas_roll < 0.9:
            log.nas_single(rng.choice((float("nan"), 1e6)) if rng.random() < 0.02 else applied)
        if rng.random() < 0.04:
            log.nc(round(sensor.next_nc() * 100))
        if marker_left == 0 and rng.random() < 0.03:
            marker_bits, marker_left = rng.randrange(1, 16), rng.randint(1, 6)
        if marker_left:
            log.markers(marker_bits)
            marker_left -= 1
        if rng.random() < 0.08:
            rtype = rng.choice(NOISE_TYPES)
            log.record(rtype, rng.randbytes(RECORD_LENGTHS[rtype]))
    return log.bytes()


def legacy_type1(rng, reading, n_target, factor, nas, calibration):
    n = 254 if calibration else min(253, round(n_target / 2))
    w0 = word(0x01 | rng.randrange(16) << 4, rng.randrange(256), n,
              min(255, max(0, round((reading / 4 - 14) * 10))) if rng.random() < 0.9 else 255)
    b = min(254, max(0, round((reading / 10 + 1) / 0.02)))
    s = min(254, max(0, round(nas / 2)))
    w1 = word(255 if rng.random() < 0.03 else b, 255 if rng.random() < 0.03 else s,
              min(31, factor // 10) | rng.randrange(8) << 5, rng.randrange(256))
    return [w0, w1]


def legacy_type8(rng, reading, n_target, factor, nas, calibration):
    w0 = 0x08 | min(31, factor // 10) << 4 | rng.randrange(128) << 9 | rng.randrange(4) << 16
    half = min(253, round(n_target / 2))
    a, b = (254, half) if calibration else (half, min(253, round(n_target) - half))
    if rng.random() < 0.02:
        a = 255
    c = min(254, round(nas / 2))
    d = 255 if rng.random() < 0.02 else min(254, round(nas) - c)
    r = min(254, max(0, round(reading)))
    r1, r2 = r, min(254, max(0, r + rng.randint(-3, 3)))
    if rng.random() < 0.02:
        r2 = 255
    return [w0, word(a, b, c, max(0, d)), word(r1, r2, rng.randrange(256), rng.randrange(256))]


def legacy_log(rng, track):
    header = bytearray(512)
    header[0:12] = b"TERMINAL LOG"
    log = LegacyLog(bytes(header))
    sensor = Sensor(rng)
    message = rng.choice((legacy_type1, legacy_type8))
    glitch_rate = rng.choice((0.01, 0.04))
    calibration_left, marker_left = 0, 0
    first = True
    for lat, lon, alt, lane_start in track.points:
        if rng.random() < glitch_rate:
            lat, lon = glitch_position(rng, lat, lon)
        position = (raw_degrees(lat), raw_degrees(lon), int(alt) & 0xFF)
        if first or rng.random() < 0.03:
            # Nc arrives in a group of its own, with a position (or, now and then, without).
            log.slot(0, 3 | rng.randrange(64) << 4 | rng.randrange(64) << 10
                     | min(255, round(sensor.next_nc() * 2)) << 22)
            if rng.random() < 0.85:
                log.position(*position, first=rng.randrange(256), extra=rng.randbytes(6))
            first = False
        if marker_left == 0 and rng.random() < 0.03:
            marker_left = rng.randint(1, 5)
            log.slot(0, 7 | rng.randrange(1, 16) << 4)
            if rng.random() < 0.8:
                log.position(*position)
        elif marker_left:
            marker_left -= 1
            if marker_left == 0:
                log.slot(0, 7).position(*position)  # all markers off again
        if lane_start and rng.random() < 0.3:
            calibration_left = rng.randint(1, 3)
        reading, n_target = sensor.next()
        nas = n_target * sensor.factor / 31
        words = message(rng, reading, n_target, sensor.factor * 10 // 3, nas, calibration_left > 0)
        calibration_left = max(0, calibration_left - 1)
        for k, w in enumerate(words):
            log.slot(k, w)
        if rng.random() < 0.97:
            log.position(*position, first=rng.randrange(256), extra=rng.randbytes(6))
        if rng.random() < 0.03:
            log.slot(0, rng.choice((2, 4, 5)) | rng.getrandbits(28) << 4).slot(1, rng.getrandbits(32))
    log.slot(0, 0)  # the last group is only written when another one starts
    if rng.random() < 0.6:
        log.end()
    return log.bytes()


def field_name(rng, used):
    while True:
        words = rng.sample(FIELD_WORDS, rng.choice((1, 1, 2, 2, 3)))
        name = " ".join(words)
        if name not in used:
            used.add(name)
            return name


def date_text(rng):
    year = rng.choice((rng.randint(2000, 2035), rng.randint(1996, 1999)))
    month = rng.randint(1, 12)
    day = rng.randint(1, 31 if month in (1, 3, 5, 7, 8, 10, 12) else 30 if month != 2 else 28)
    return "%02d%02d%02d" % (year % 100, month, day)


def hand_csv(rng, track):
    """A CSV file as a person might have edited it: its own column order, blanks before
    numbers, quoted cells, empty cells, an unknown column, a line far longer than 511
    characters, and sometimes the Ctrl-Z that old editors leave at the end."""
    header = ["Lat", "Long", "Remark", "Nas", "BI", "Nc", "N", "Marker 2", "Calibration", "Alt"]
    lines = [",".join(header)]
    sensor = Sensor(rng)
    nc = "%.1f" % sensor.next_nc()
    for i, (lat, lon, alt, _) in enumerate(track.points[:rng.randint(20, 80)]):
        reading, n_target = sensor.next()
        if rng.random() < 0.05:
            lat, lon = glitch_position(rng, lat, lon)
        cells = ["%.7f" % lat, "%.7f" % lon, "", "%d" % round(n_target * 0.7),
                 "%.2f" % (reading / 10), nc if i == 0 or rng.random() < 0.1 else "",
                 "%d" % round(n_target), "", "", "%d" % round(alt)]
        roll = rng.random()
        if roll < 0.05:
            cells[3] = ""                                   # N applied missing
        elif roll < 0.10:
            cells[4] = "  " + cells[4]                      # blanks before a number
        elif roll < 0.15:
            cells[0] = '"%s"' % cells[0]                    # a quoted number
        elif roll < 0.20:
            cells[6] = "n/a"                                # not a number
        elif roll < 0.25:
            cells[2] = '"checked, ok"'                      # a separator inside quotes
        elif roll < 0.28:
            cells = cells[:2]                               # a cut-short row
        if rng.random() < 0.06 and len(cells) > 7:
            cells[7] = rng.choice(("1", "3", "0"))
        if rng.random() < 0.04 and len(cells) > 8:
            cells[8] = "1"
        lines.append(",".join(cells))
        if rng.random() < 0.03:
            lines.append("")                                # an empty line repeats the row
    # A remark far longer than 511 characters whose tail looks like a row of its own: read
    # whole, it stays one row.
    at = rng.randrange(2, len(lines))
    cells = lines[at].split(",") + [""] * 3
    cells[2] = "x" * rng.randint(600, 900) + ",7.5,8.5,9"
    lines[at] = ",".join(cells).rstrip(",")
    text = "".join(line + "\r\n" for line in lines)
    if rng.random() < 0.5:
        text += "\x1a"  # the end of the text: no row of its own
    return text.encode("ascii")


def fields_txt(rng, names, farms):
    lines = ["Nr,Schlagname,size,Crop,Kunde"]
    for i, name in enumerate(names, 1):
        farm = farms[i % len(farms)]
        size = "%.2f" % rng.uniform(1.5, 40)
        roll = rng.random()
        if roll < 0.1:
            size = "unknown"                      # keeps the size of the line before
        elif roll < 0.15:
            farm = ""                             # a farm without a name
        elif roll < 0.25:
            name = '"%s"' % name                  # quoted
        elif roll < 0.3:
            size = " " + size
        lines.append("%d,%s,%s,%s,%s" % (i, name, size, rng.choice(("Wheat", "Barley", "Rape", "")), farm))
    return "".join(line + "\r\n" for line in lines).encode("ascii")


def make_folder(folder, seed, field_count=None):
    rng = random.Random(seed)
    os.makedirs(folder, exist_ok=True)
    # Somewhere on land in the mid latitudes, either hemisphere.
    region = rng.choice(((47.0, 55.0, -1.0, 20.0), (40.0, 48.0, -100.0, -80.0),
                         (-38.0, -30.0, 140.0, 150.0), (-36.0, -28.0, -64.0, -56.0)))
    lat0, lon0 = rng.uniform(region[0], region[1]), rng.uniform(region[2], region[3])
    used, written = set(), []
    prefix = rng.choice(PREFIXES)
    field_count = field_count or rng.randint(3, 6)
    listed = []
    for k in range(field_count):
        name = field_name(rng, used)
        origin = (lat0 + rng.uniform(-0.05, 0.05), lon0 + rng.uniform(-0.05, 0.05))
        date = date_text(rng)
        for part in range(rng.choice((1, 1, 1, 2))):
            track = Track(rng, origin)
            stem = "%s_%s_%s" % (prefix, name.replace(" ", "_"), date)
            if part:
                stem += "_%d" % (part + 1)
            data = binary_log(rng, track) if rng.random() < 0.55 else legacy_log(rng, track)
            with open(os.path.join(folder, stem + ".log"), "wb") as f:
                f.write(data)
            written.append(stem + ".log")
        if rng.random() < 0.8:
            listed.append(name)
    if rng.random() < 0.5:
        # A log whose name carries no date: no field name either, so "Unknown_Field".
        stem = "%s_%s" % (prefix, rng.choice(FIELD_WORDS))
        if not os.path.exists(os.path.join(folder, stem + ".log")):
            with open(os.path.join(folder, stem + ".log"), "wb") as f:
                f.write(binary_log(rng, Track(rng, (lat0, lon0))))
            written.append(stem + ".log")
    name = field_name(rng, used)
    stem = "Edit_%s_%s" % (name.replace(" ", "_"), date_text(rng))
    with open(os.path.join(folder, stem + ".csv"), "wb") as f:
        f.write(hand_csv(rng, Track(rng, (lat0, lon0))))
    written.append(stem + ".csv")
    if rng.random() < 0.2:
        name = "Empty_Field_%s.csv" % date_text(rng)
        with open(os.path.join(folder, name), "wb"):
            pass
        written.append(name)
    farms = rng.sample(FARM_NAMES, rng.randint(1, 2))
    listed.append(rng.choice(("Spare Paddock", "New Ground")))   # a field without a log
    with open(os.path.join(folder, "fields.txt"), "wb") as f:
        f.write(fields_txt(rng, listed, farms))
    return written


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("folder")
    parser.add_argument("--seed", type=int, default=None, help="default: a fresh random seed")
    parser.add_argument("--fields", type=int, default=None, help="number of fields (default 3 to 6)")
    args = parser.parse_args()
    seed = args.seed if args.seed is not None else int.from_bytes(os.urandom(4), "big")
    print("terminal folder seed: %d" % seed, flush=True)
    for name in make_folder(args.folder, seed, args.fields):
        print("  " + name)


if __name__ == "__main__":
    main()

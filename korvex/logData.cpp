#include "logData.h"

#include "NumberFormat.h"
#include "WinLogCSVRecord.h"

namespace korvex {
namespace {

std::uint32_t Bits(std::uint32_t word, int first, int last) {
    int width = last - first + 1;
    std::uint32_t mask = width >= 32 ? 0xFFFFFFFFu : ((1u << width) - 1);
    return (word >> first) & mask;
}

}  // namespace

void TLogData::Decode(const std::int32_t (&slots)[kLegacySlots]) {
    if (slots[0] == kMissingInt) return;
    // Slots are taken as unsigned bit patterns; an empty slot decodes as 0xFFFFD8F1.
    auto w0 = static_cast<std::uint32_t>(slots[0]);
    auto w1 = static_cast<std::uint32_t>(slots[1]);
    auto w2 = static_cast<std::uint32_t>(slots[2]);
    MessageType = static_cast<std::int32_t>(w0 & 0xF);
    switch (MessageType) {
    case 1: DecodeType1(w0, w1); break;
    case 3: DecodeType3(w0); break;
    case 8: DecodeType8(w0, w1, w2); break;
    default: break;  // types 2 and 4 decode nothing written; 7 is handled by the group end
    }
}

void TLogData::DecodeType1(std::uint32_t w0, std::uint32_t w1) {
    std::uint32_t n = Bits(w0, 16, 23);
    if (n != 254 && n != 255) N = static_cast<std::int32_t>(2 * n);
    if (n == 254) Calibration = 1;
    Reading = Bits(w0, 24, 31) * 0.1 + 14;
    std::uint32_t b = Bits(w1, 0, 7);
    if (b != 255) BI = (0.02 * b - 1) * 10;
    std::uint32_t s = Bits(w1, 8, 15);
    if (s != 255) Nas = static_cast<std::int32_t>(2 * s);
    ApplFactor = static_cast<std::int32_t>(Bits(w1, 16, 20) * 10);
}

void TLogData::DecodeType3(std::uint32_t w0) { Nc = Bits(w0, 22, 29) * 0.5; }

void TLogData::DecodeType8(std::uint32_t w0, std::uint32_t w1, std::uint32_t w2) {
    ApplFactor = static_cast<std::int32_t>(Bits(w0, 4, 8) * 10);
    std::uint32_t a = Bits(w1, 0, 7), b = Bits(w1, 8, 15);
    if (a == 254 || b == 254) Calibration = 1;
    if (a < 254 && b < 254) N = static_cast<std::int32_t>(a + b);
    std::uint32_t c = Bits(w1, 16, 23), d = Bits(w1, 24, 31);
    if (c != 255 && d != 255) Nas = static_cast<std::int32_t>(c + d);
    std::uint32_t r1 = Bits(w2, 0, 7), r2 = Bits(w2, 8, 15);
    if (r1 != 255 && r2 != 255) {
        Reading = (0.5 * r1 + 0.5 * r2) / 2;
        BI = 0.2 * Reading;
    }
}

void TLogData::SetPosition(std::int32_t alt, std::int32_t latitude, std::int32_t longitude) {
    Alt = alt;
    Lat = latitude / 1e7;
    Long = longitude / 1e7;
    rawLat_ = latitude;
    rawLong_ = longitude;
}

bool TLogData::PositionMissing() const { return Lat == MissingValue || Long == MissingValue; }

bool TLogData::IsComplete(bool skipPositionCheck, bool skipReadingCheck) const {
    return RowIsComplete(skipPositionCheck, skipReadingCheck, Lat, Long, Reading);
}

void TLogData::CSVLine(std::string& line) const {
    if (PositionMissing()) return;
    char row[kMaxRowLength];
    // Exactly what "%3.7f" of Long and Lat prints (shown for every 32-bit value by the tests
    // and bench/coordcheck).
    char* p = FormatDecimal(row, rawLong_, 3, 7);
    *p++ = ',';
    p = FormatDecimal(p, rawLat_, 3, 7);
    *p++ = ',';
    p = FormatInt(p, Alt);
    *p++ = ',';
    if (BI != MissingValue) p = FormatFixed(p, BI, 1, 2);
    *p++ = ',';
    for (std::int32_t value : {N, Nas, ApplFactor, Markers[0], Markers[1], Markers[2], Markers[3]}) {
        if (value != kMissingInt) p = FormatInt(p, value);
        *p++ = ',';
    }
    if (Calibration == 1) *p++ = '1';
    *p++ = ',';
    if (Nc != MissingValue) p = FormatFixed(p, Nc, 4, 1);
    line.append(row, static_cast<std::size_t>(p - row));
}

}  // namespace korvex

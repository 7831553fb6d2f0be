#include "WinLogCSVRecord.h"

#include <cmath>
#include <cstring>

#include "NumberFormat.h"

namespace korvex {

std::int32_t RoundedTenths(std::int32_t tenths) {
    // |tenths| + 5 cannot overflow for the 16-bit altitudes (nor for anything below 2^31 - 5).
    std::int32_t whole = (tenths < 0 ? -tenths + 5 : tenths + 5) / 10;
    return tenths < 0 ? -whole : whole;
}

void TCSVRecord::SetNc(std::int16_t value) {
    Nc = value / 100.0;
    char* end = FormatFixed(ncText_, Nc, 4, 1);  // at most "-327.7"
    ncLength_ = static_cast<std::uint8_t>(end - ncText_);
}

void TCSVRecord::CSVLine(std::string& line) const {
    if (PositionMissing()) return;
    char row[kMaxRowLength];
    // Exactly what "%3.7f" of Long and Lat and "%0.0f" of Alt print (shown for every 32-bit
    // and 16-bit value by the tests and bench/coordcheck).
    char* p = FormatDecimal(row, rawLong_, 3, 7);
    *p++ = ',';
    p = FormatDecimal(p, rawLat_, 3, 7);
    *p++ = ',';
    p = FormatDecimal(p, RoundedTenths(rawAlt_), 0, 0);
    *p++ = ',';
    if (BI != MissingValue) p = FormatFixed(p, BI, 1, 2);
    *p++ = ',';
    if (N != MissingValue && N != -1) p = FormatFixed(p, N, 0, 0);
    *p++ = ',';
    if (Nas != MissingValue) p = FormatFixed(p, Nas, 0, 0);
    *p++ = ',';
    if (ApplFactor != MissingValue) p = FormatFixed(p, ApplFactor, 0, 0);
    *p++ = ',';
    if (Markers.size() <= 16) {  // from MarkersText: three commas and at most four digits
        std::memcpy(p, Markers.data(), Markers.size());
        p += Markers.size();
    } else {
        line.append(row, static_cast<std::size_t>(p - row));
        line += Markers;
        p = row;
    }
    *p++ = ',';
    if (N == -1) *p++ = '1';
    *p++ = ',';
    if (Nc != MissingValue) {
        std::memcpy(p, ncText_, ncLength_);
        p += ncLength_;
    }
    line.append(row, static_cast<std::size_t>(p - row));
}

}  // namespace korvex

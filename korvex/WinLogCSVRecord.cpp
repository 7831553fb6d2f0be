#include "WinLogCSVRecord.h"

#include <cmath>
#include <cstring>

#include "NumberFormat.h"

namespace korvex {

bool IsValidValue(double v) {
    return std::isfinite(v) && v <= 9999;
}

bool RowIsComplete(bool skipPositionCheck, bool skipReadingCheck, double lat, double lon,
                   double reading) {
    if (skipPositionCheck && skipReadingCheck) return true;
    if (!skipPositionCheck &&
        (lat == MissingValue || lat == 0 || lon == 0 || lon == MissingValue))
        return false;
    if (!skipReadingCheck && !(reading >= 0)) return false;
    return true;
}

void TCSVRecord::Clear() {
    Lat = Long = Alt = BI = N = ApplFactor = Nas = Reading = MissingValue;
    if (Markers != ",,,") Markers = ",,,";
}

void TCSVRecord::SetPosition(std::int32_t latitude, std::int32_t longitude, std::int16_t altitude) {
    Lat = latitude / 1e7;
    Long = longitude / 1e7;
    Alt = altitude / 10.0;
}

void TCSVRecord::SetReading(double reading, double n, std::uint8_t applFactor) {
    if (IsValidValue(reading)) {
        Reading = reading;
        BI = reading * 0.1;
    } else {
        Reading = BI = MissingValue;
    }
    N = IsValidValue(n) ? n : MissingValue;
    ApplFactor = applFactor;
}

bool TCSVRecord::IsComplete(bool skipPositionCheck, bool skipReadingCheck) const {
    return RowIsComplete(skipPositionCheck, skipReadingCheck, Lat, Long, Reading);
}

void TCSVRecord::CSVLine(std::string& line) const {
    if (PositionMissing()) return;
    char row[kMaxRowLength];
    char* p = FormatFixed(row, Long, 3, 7);
    *p++ = ',';
    p = FormatFixed(p, Lat, 3, 7);
    *p++ = ',';
    p = FormatFixed(p, Alt, 0, 0);
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
    if (Nc != MissingValue) p = FormatFixed(p, Nc, 4, 1);
    line.append(row, static_cast<std::size_t>(p - row));
}

}  // namespace korvex

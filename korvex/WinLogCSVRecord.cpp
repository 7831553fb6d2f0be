#include "WinLogCSVRecord.h"

#include <cmath>

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
    Markers = ",,,";
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
    AppendFixed(line, Long, 3, 7);
    line += ',';
    AppendFixed(line, Lat, 3, 7);
    line += ',';
    AppendFixed(line, Alt, 0, 0);
    line += ',';
    if (BI != MissingValue) AppendFixed(line, BI, 1, 2);
    line += ',';
    if (N != MissingValue && N != -1) AppendFixed(line, N, 0, 0);
    line += ',';
    if (Nas != MissingValue) AppendFixed(line, Nas, 0, 0);
    line += ',';
    if (ApplFactor != MissingValue) AppendFixed(line, ApplFactor, 0, 0);
    line += ',';
    line += Markers;
    line += ',';
    if (N == -1) line += '1';
    line += ',';
    if (Nc != MissingValue) AppendFixed(line, Nc, 4, 1);
}

}  // namespace korvex

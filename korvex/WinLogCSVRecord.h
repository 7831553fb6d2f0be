// TCSVRecord: the values of one output row of the binary converter, the test whether the row
// may be written, and its CSV line.
#pragma once
#include <cmath>
#include <cstdint>
#include <string>

namespace korvex {

constexpr double MissingValue = -9999;

// Room for one CSV line of either converter: eight numbers at their widest, markers, commas.
constexpr int kMaxRowLength = 4096;

// Valid for a reading or a Nas value: finite and not above 9999 (any negative value is valid).
// Inline, as the row checks below: they run for every record and row.
inline bool IsValidValue(double v) { return std::isfinite(v) && v <= 9999; }

// The row test shared by both converters.
inline bool RowIsComplete(bool skipPositionCheck, bool skipReadingCheck, double lat, double lon, double reading) {
    if (skipPositionCheck && skipReadingCheck) return true;
    if (!skipPositionCheck && (lat == MissingValue || lat == 0 || lon == 0 || lon == MissingValue)) return false;
    if (!skipReadingCheck && !(reading >= 0)) return false;
    return true;
}

class TCSVRecord {
public:
    TCSVRecord() { Clear(); }

    void Clear();
    void SetPosition(std::int32_t latitude, std::int32_t longitude, std::int16_t altitude);
    void SetReading(double reading, double n, std::uint8_t applFactor);
    void SetNas(double value) { Nas = IsValidValue(value) ? value : MissingValue; }
    void SetNc(std::int16_t value);
    void SetMarkers(const std::string& text) { Markers = text; }

    bool PositionMissing() const { return Lat == MissingValue || Long == MissingValue; }
    bool IsComplete(bool skipPositionCheck, bool skipReadingCheck) const {
        return RowIsComplete(skipPositionCheck, skipReadingCheck, Lat, Long, Reading);
    }
    // Appends the row's line (without line end) to `line`; empty when the position is missing.
    void CSVLine(std::string& line) const;

    // Lat, Long and Alt are set by SetPosition (and reset by Clear) alone: the line prints the
    // raw values they came from.
    double Lat, Long, Alt, BI, N, ApplFactor, Nas;
    double Nc = MissingValue;  // kept from row to row: Clear leaves it; set by SetNc alone
    double Reading;
    std::string Markers;

private:
    // The raw position: latitude and longitude in 10^-7 degrees print exactly as those integers
    // with the point inserted, and the altitude in tenths as its rounded whole number.
    std::int32_t rawLat_ = 0, rawLong_ = 0;
    std::int16_t rawAlt_ = 0;
    // Nc's column text, formatted once per record 0x0030 rather than once per row.
    char ncText_[16] = {};
    std::uint8_t ncLength_ = 0;
};

// Inline: each runs once per record or row.
inline void TCSVRecord::Clear() {
    Lat = Long = Alt = BI = N = ApplFactor = Nas = Reading = MissingValue;
    // Most rows hold no marker: leave the text alone then rather than assigning it again.
    if (Markers.size() != 3 || Markers[0] != ',' || Markers[1] != ',' || Markers[2] != ',') Markers = ",,,";
}

inline void TCSVRecord::SetPosition(std::int32_t latitude, std::int32_t longitude, std::int16_t altitude) {
    Lat = latitude / 1e7;
    Long = longitude / 1e7;
    Alt = altitude / 10.0;
    rawLat_ = latitude;
    rawLong_ = longitude;
    rawAlt_ = altitude;
}

inline void TCSVRecord::SetReading(double reading, double n, std::uint8_t applFactor) {
    if (IsValidValue(reading)) {
        Reading = reading;
        BI = reading * 0.1;
    } else {
        Reading = BI = MissingValue;
    }
    N = IsValidValue(n) ? n : MissingValue;
    ApplFactor = applFactor;
}

// The "%0.0f" text of a value given in tenths (tenths / 10.0), as a whole number: the nearest
// one, halves away from zero. Exact, since k + 0.5 is a double and no other tenth lies near a half.
std::int32_t RoundedTenths(std::int32_t tenths);

}  // namespace korvex

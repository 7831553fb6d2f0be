// TCSVRecord: the values of one output row of the binary converter, the test whether the row
// may be written, and its CSV line.
#pragma once
#include <cstdint>
#include <string>

namespace korvex {

constexpr double MissingValue = -9999;

// Room for one CSV line of either converter: eight numbers at their widest, markers, commas.
constexpr int kMaxRowLength = 4096;

// Valid for a reading or a Nas value: finite and not above 9999 (any negative value is valid).
bool IsValidValue(double v);

class TCSVRecord {
public:
    TCSVRecord() { Clear(); }

    void Clear();
    void SetPosition(std::int32_t latitude, std::int32_t longitude, std::int16_t altitude);
    void SetReading(double reading, double n, std::uint8_t applFactor);
    void SetNas(double value) { Nas = IsValidValue(value) ? value : MissingValue; }
    void SetNc(std::int16_t value) { Nc = value / 100.0; }
    void SetMarkers(const std::string& text) { Markers = text; }

    bool PositionMissing() const { return Lat == MissingValue || Long == MissingValue; }
    bool IsComplete(bool skipPositionCheck, bool skipReadingCheck) const;
    // Appends the row's line (without line end) to `line`; empty when the position is missing.
    void CSVLine(std::string& line) const;

    double Lat, Long, Alt, BI, N, ApplFactor, Nas;
    double Nc = MissingValue;  // kept from row to row: Clear leaves it
    double Reading;
    std::string Markers;
};

// The row test shared by both converters.
bool RowIsComplete(bool skipPositionCheck, bool skipReadingCheck, double lat, double lon,
                   double reading);

}  // namespace korvex

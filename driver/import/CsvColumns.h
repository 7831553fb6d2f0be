// The log CSV as the import reads it: where each known column stands (found by its header
// text) and the values of one row.
#pragma once
#include <array>
#include <cstdint>

namespace nivra {

class TParser;

enum class CsvColumn {
    Longitude,
    Latitude,
    Altitude,
    BiomassIndex,
    NTarget,
    NApplied,
    ApplFactor,
    Marker1,
    Marker2,
    Marker3,
    Marker4,
    Calibration,
    NContent,
};
constexpr std::size_t kCsvColumnCount = 13;

// 1-based position of each known column; 0 when the header does not name it.
struct CsvColumns {
    std::array<std::int32_t, kCsvColumnCount> position{};

    std::int32_t operator[](CsvColumn column) const { return position[static_cast<std::size_t>(column)]; }
};

// Header texts are matched exactly and case-sensitively; a name given twice keeps its later
// position.
CsvColumns MapCsvColumns(const char* headerLine);

// Row values carry over from one row to the next: a missing, empty or unreadable cell keeps
// the value of the row before (0 before the first row).
struct RowValues {
    double longitude = 0.0;
    double latitude = 0.0;
    double altitude = 0.0;
    double biomassIndex = 0.0;
    double nTarget = 0.0;
    double nApplied = 0.0;
    double applFactor = 0.0;
    double nContent = 0.0;
    double rate = 0.0;  // derived: see ProductRate
    std::array<std::int32_t, 4> marker{};
    std::int32_t calibration = 0;
};

// Parses `line` with `parser` (separator ',') and updates `row`, including its product rate.
void ReadRowValues(TParser& parser, const char* line, const CsvColumns& columns, RowValues& row);

// The product rate of a row: N applied × 100 / N content, or 0 without a positive N content.
double ProductRate(const RowValues& row);

// Rows outside these limits are not logged: latitude strictly between -90 and 90, longitude
// from -180 to 180 inclusive.
bool IsWithinCoordinateLimits(const RowValues& row);

}  // namespace nivra

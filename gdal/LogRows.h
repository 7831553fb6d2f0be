// The rows of one terminal log as typed values: the log is converted by the conversion
// library into log CSV lines, and each line is parsed here into its numbers. Nothing is
// decoded from the log itself.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "FileImage.h"
#include "korvex.h"

namespace korvexgdal {

// The attribute columns of the log CSV after Long, Lat, Alt, in CSV order.
enum Column : int {
    kBI,
    kN,
    kNas,
    kApplFactor,
    kMarker1,
    kMarker2,
    kMarker3,
    kMarker4,
    kCalibration,
    kNc,
    kColumnCount
};
constexpr bool IsIntegerColumn(int column) { return column >= kMarker1 && column <= kCalibration; }
extern const char* const kColumnNames[kColumnCount];

struct LogRow {
    double lon = 0, lat = 0, alt = 0;
    double reals[5] = {};           // BI, N, Nas, ApplFactor, Nc
    std::int32_t integers[5] = {};  // Marker 1 to 4, Calibration
    std::uint16_t nullColumns = 0;  // bit c: column c's cell was empty

    bool IsNull(int column) const { return (nullColumns >> column) & 1; }
    static int RealSlot(int column) { return column == kNc ? 4 : column; }
    double Real(int column) const { return reals[RealSlot(column)]; }
    std::int32_t Integer(int column) const { return integers[column - kMarker1]; }
};

struct Extent {
    double minX = 0, minY = 0, maxX = 0, maxY = 0;
    bool empty = true;
    void Add(const LogRow& row);
};

// Parses one data line of the log CSV (13 cells, no line end). Throws KorvexError on a line
// that is not one: the CSV comes from the converter, so this is never expected.
LogRow ParseCsvLine(const char* begin, const char* end);

// Takes the converter's lines as they are written: the header is checked, an empty line (a
// final row without a position) is left out, every other line becomes a row.
class RowSink : public korvex::LineSink {
public:
    explicit RowSink(std::vector<LogRow>& rows, Extent& extent) : rows_(rows), extent_(extent) {}
    void WriteLine(const std::string& line) override;
    std::string& LineBuffer() override { return buffer_; }
    void EndLine() override;

private:
    void Take(const std::string& line);

    std::vector<LogRow>& rows_;
    Extent& extent_;
    std::string buffer_;
};

struct LogTable {
    std::vector<LogRow> rows;
    Extent extent;
    korvex::ConversionReport report;
    // Where the data ends inside a record (binary) or an item (older format); -1 when the
    // log ends cleanly.
    std::int64_t cutOffset = -1;
};

// Converts a log held in memory with the conversion library and keeps its rows.
LogTable ConvertToRows(korvex::FileImage image, bool checkPosition, bool checkReading);

}  // namespace korvexgdal

#include "LogRows.h"

#include <algorithm>
#include <charconv>
#include <new>
#include <type_traits>

#include "KorvexError.h"
#include "LogIdentify.h"
#include "logFile.h"

namespace korvexgdal {

const char* const kColumnNames[kColumnCount] = {"BI",      "N",       "Nas",     "ApplFactor",  "Marker1",
                                                "Marker2", "Marker3", "Marker4", "Calibration", "Nc"};

namespace {

constexpr int kCsvCells = 13;

[[noreturn]] void BadLine(const char* begin, const char* end) {
    throw korvex::KorvexError("not a log CSV line: '" + std::string(begin, end) + "'");
}

// The converter writes fixed notation: [-]digits[.digits]. With at most 15 digits the value
// is m / 10^k for integers m < 2^53 and k <= 15, both exact in a double, so one division
// gives the correctly rounded value, the same as strtod. Anything else goes to from_chars.
bool ParseFixed(const char* begin, const char* end, double& value) {
    static constexpr double kPowers[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                         1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    const char* p = begin;
    bool negative = p < end && *p == '-';
    if (negative) ++p;
    std::int64_t mantissa = 0;
    int digits = 0, decimals = -1;
    for (; p < end; ++p) {
        if (*p == '.' && decimals < 0) {
            decimals = 0;
            continue;
        }
        if (*p < '0' || *p > '9' || ++digits > 15) return false;
        mantissa = mantissa * 10 + (*p - '0');
        if (decimals >= 0) ++decimals;
    }
    if (digits == 0) return false;
    value = static_cast<double>(mantissa) / kPowers[decimals > 0 ? decimals : 0];
    if (negative) value = -value;
    return true;
}

// One number of a cell; the converter pads "%4.1f" on the left with blanks.
template <typename T>
T ParseCell(const char* begin, const char* end, const char* lineBegin, const char* lineEnd) {
    while (begin < end && *begin == ' ') ++begin;
    T value{};
    if constexpr (std::is_floating_point_v<T>) {
        if (ParseFixed(begin, end, value)) return value;
    }
    auto [ptr, ec] = std::from_chars(begin, end, value);
    if (ec != std::errc() || ptr != end) BadLine(lineBegin, lineEnd);
    return value;
}

}  // namespace

void Extent::Add(const LogRow& row) {
    if (empty) {
        minX = maxX = row.lon;
        minY = maxY = row.lat;
        empty = false;
        return;
    }
    minX = std::min(minX, row.lon);
    maxX = std::max(maxX, row.lon);
    minY = std::min(minY, row.lat);
    maxY = std::max(maxY, row.lat);
}

LogRow ParseCsvLine(const char* begin, const char* end) {
    const char* cells[kCsvCells + 1];
    int count = 0;
    cells[count++] = begin;
    for (const char* p = begin; p < end; ++p) {
        if (*p != ',') continue;
        if (count == kCsvCells) BadLine(begin, end);
        cells[count++] = p + 1;
    }
    if (count != kCsvCells) BadLine(begin, end);
    cells[kCsvCells] = end + 1;
    auto cellEnd = [&](int i) { return cells[i + 1] - 1; };

    LogRow row;
    double* position[3] = {&row.lon, &row.lat, &row.alt};
    for (int i = 0; i < 3; ++i) {
        if (cells[i] == cellEnd(i)) BadLine(begin, end);
        *position[i] = ParseCell<double>(cells[i], cellEnd(i), begin, end);
    }
    for (int c = 0; c < kColumnCount; ++c) {
        const char* b = cells[3 + c];
        const char* e = cellEnd(3 + c);
        if (b == e) {
            row.nullColumns |= static_cast<std::uint16_t>(1u << c);
        } else if (IsIntegerColumn(c)) {
            row.integers[c - kMarker1] = ParseCell<std::int32_t>(b, e, begin, end);
        } else {
            row.reals[LogRow::RealSlot(c)] = ParseCell<double>(b, e, begin, end);
        }
    }
    return row;
}

void RowSink::Take(const std::string& line) {
    ++lines_;
    if (lines_ == 1) {
        if (line != korvex::kCsvHeader) BadLine(line.data(), line.data() + line.size());
        return;
    }
    if (line.empty()) return;
    rows_.push_back(ParseCsvLine(line.data(), line.data() + line.size()));
    extent_.Add(rows_.back());
}

void RowSink::WriteLine(const std::string& line) { Take(line); }

void RowSink::EndLine() {
    Take(buffer_);
    buffer_.clear();
}

namespace {

// The older format's converter stops without an error where the data ends inside an item;
// the item walk tells where that is.
std::int64_t LegacyCutOffset(const korvex::FileImage& image) {
    korvex::LegacyItemCounts counts = korvex::TLogFile(CopyImage(image.bytes.get(), image.size)).CountItems();
    return counts.trailingBytes > 0 ? image.size - counts.trailingBytes : -1;
}

}  // namespace

LogTable ConvertToRows(korvex::FileImage image, bool checkPosition, bool checkReading) {
    LogTable table;
    bool legacy = korvex::IdentifyLog(image) == korvex::LogFormat::Legacy;
    std::int64_t legacyCut = legacy ? LegacyCutOffset(image) : -1;
    // Room for the most rows the log can hold (a position record or item per row), so the
    // rows are never moved; pages that stay unused are never touched.
    const std::int64_t rowBytes = legacy ? 16 + 8 : 4 + 24;
    try {
        if (image.size > 512) table.rows.reserve(static_cast<std::size_t>((image.size - 512) / rowBytes + 1));
    } catch (const std::bad_alloc&) {
        // Then the rows grow as they come.
    }
    RowSink sink(table.rows, table.extent);
    table.report = korvex::ConvertImage(std::move(image), sink, !checkPosition, !checkReading);
    table.cutOffset = legacy ? legacyCut : table.report.errorOffset;
    return table;
}

}  // namespace korvexgdal

// The import's reading of the log CSV: the header line through MapCsvColumns, every other
// line through ReadRowValues, and every line through TParser with either separator. Lines are
// split as TextLineReader splits a file (LF or CR LF, a Ctrl-Z ends the text).
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "FuzzCheck.h"
#include "FuzzEntries.h"
#include "import/CsvColumns.h"
#include "text/TParser.h"

namespace nivrafuzz {
namespace {

using nivra::TParser;

std::string WithoutLeadingSpaces(const std::string& text) {
    const std::size_t first = text.find_first_not_of(' ');
    return first == std::string::npos ? std::string() : text.substr(first);
}

std::vector<std::string> Fields(const TParser& parser) {
    std::vector<std::string> fields;
    for (std::int32_t i = 1; i <= parser.Count(); ++i) fields.push_back(parser.GetText(i));
    return fields;
}

// A line without quotes and line ends splits at every separator, each field without its
// leading blanks.
void CheckPlainSplit(const std::string& line, char separator, const std::vector<std::string>& fields) {
    if (line.find_first_of("\"\r\n") != std::string::npos) return;
    std::vector<std::string> expected;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = line.find(separator, start);
        expected.push_back(WithoutLeadingSpaces(line.substr(start, end - start)));
        if (end == std::string::npos) break;
        start = end + 1;
    }
    Check(fields == expected, "a line without quotes splits at every separator", line);
}

// Fields written back quoted (a quote doubled, separators and line ends inside the quotes)
// read as the same texts.
void CheckQuotedRoundTrip(TParser& parser, char separator, const std::vector<std::string>& fields) {
    std::string line;
    for (std::size_t i = 0; i < fields.size(); ++i) {
        if (i) line += separator;
        line += '"';
        for (char c : fields[i]) {
            if (c == '"') line += '"';
            line += c;
        }
        line += '"';
    }
    parser.Parse(line.c_str(), -1);
    std::vector<std::string> expected;
    for (const std::string& field : fields) expected.push_back(WithoutLeadingSpaces(field));
    Check(Fields(parser) == expected, "quoted fields read back as their texts", line);
}

bool SameDouble(double a, double b) { return a == b && std::signbit(a) == std::signbit(b); }

// GetDouble reads like "%lf" (strtod in the C locale) for decimal text; hexadecimal, "inf"
// and "nan" are no numbers to it.
void CheckScanDouble(const std::string& text) {
    const char* p = text.c_str();
    while (*p == ' ' || (*p >= '\t' && *p <= '\r')) ++p;
    if (*p == '+' || *p == '-') ++p;
    if (!((*p >= '0' && *p <= '9') || *p == '.')) return;
    if (p[0] == '0' && (p[1] == 'x' || p[1] == 'X')) return;
    char* end = nullptr;
    const double expected = std::strtod(text.c_str(), &end);
    double value = 12345.0;
    const bool converted = nivra::ScanDouble(text.c_str(), value);
    Check(converted == (end != text.c_str()), "ScanDouble converts exactly what strtod converts", text);
    if (converted) Check(SameDouble(value, expected), "ScanDouble reads what strtod reads", text);
}

// GetLong reads like "%ld" on a 32-bit long: strtol, clamped to the 32-bit range.
void CheckScanLong(const std::string& text) {
    char* end = nullptr;
    errno = 0;
    long long expected = std::strtoll(text.c_str(), &end, 10);
    if (expected > INT32_MAX) expected = INT32_MAX;
    if (expected < INT32_MIN) expected = INT32_MIN;
    std::int32_t value = 12345;
    const bool converted = nivra::ScanLong(text.c_str(), value);
    Check(converted == (end != text.c_str()), "ScanLong converts exactly what strtol converts", text);
    if (converted) Check(value == expected, "ScanLong reads what strtol reads, clamped", text);
}

// The parsers of one separator, kept from line to line as the import keeps its parser.
struct Parsers {
    explicit Parsers(char separator) : separator(separator), line(separator), quoted(separator) {}
    char separator;
    TParser line;    // splits the lines of the input
    TParser quoted;  // splits the fields written back quoted
};

void CheckParser(const std::string& line, Parsers& parsers) {
    TParser& parser = parsers.line;
    const char separator = parsers.separator;
    const std::int32_t count = parser.Parse(line.c_str(), -1);
    Check(count == parser.Count() && count >= 1 && static_cast<std::size_t>(count) <= line.size() + 1,
          "a line has between one field and one more than its length");
    Check(parser.GetText(0).empty() && parser.GetText(count + 1).empty(), "fields out of range are empty");
    const std::vector<std::string> fields = Fields(parser);
    CheckPlainSplit(line, separator, fields);
    CheckQuotedRoundTrip(parsers.quoted, separator, fields);
    for (const std::string& field : fields) {
        CheckScanDouble(field);
        CheckScanLong(field);
    }
}

const char* const kHeaderTexts[nivra::kCsvColumnCount] = {
    "Long",     "Lat",      "Alt",      "BI",       "N",           "Nas", "ApplFactor",
    "Marker 1", "Marker 2", "Marker 3", "Marker 4", "Calibration", "Nc",
};

// Each known column stands at the last field with its exact text, or at 0 without one.
void CheckColumns(const std::string& header, const nivra::CsvColumns& columns) {
    TParser parser(',');
    parser.Parse(header.c_str(), -1);
    const std::vector<std::string> fields = Fields(parser);
    for (std::size_t c = 0; c < nivra::kCsvColumnCount; ++c) {
        std::int32_t last = 0;
        for (std::size_t i = 0; i < fields.size(); ++i)
            if (fields[i] == kHeaderTexts[c]) last = static_cast<std::int32_t>(i + 1);
        Check(columns.position[c] == last, "the column map finds its column", kHeaderTexts[c]);
    }
}

// A cell that reads as a number sets its value; any other cell keeps the row before's.
void CheckCarryOver(const TParser& parser, const nivra::CsvColumns& columns, const nivra::RowValues& before,
                    const nivra::RowValues& after) {
    using nivra::CsvColumn;
    const struct {
        CsvColumn column;
        double nivra::RowValues::*value;
    } doubles[] = {
        {CsvColumn::Longitude, &nivra::RowValues::longitude},
        {CsvColumn::Latitude, &nivra::RowValues::latitude},
        {CsvColumn::Altitude, &nivra::RowValues::altitude},
        {CsvColumn::BiomassIndex, &nivra::RowValues::biomassIndex},
        {CsvColumn::NTarget, &nivra::RowValues::nTarget},
        {CsvColumn::NApplied, &nivra::RowValues::nApplied},
        {CsvColumn::ApplFactor, &nivra::RowValues::applFactor},
        {CsvColumn::NContent, &nivra::RowValues::nContent},
    };
    for (const auto& d : doubles) {
        double expected = before.*d.value;
        nivra::ScanDouble(parser.GetText(columns[d.column]).c_str(), expected);
        Check(SameDouble(after.*d.value, expected), "a row value is its cell's number or the row before's");
    }
    for (int m = 0; m < 4; ++m) {
        std::int32_t expected = before.marker[m];
        nivra::ScanLong(
            parser.GetText(columns[static_cast<CsvColumn>(static_cast<int>(CsvColumn::Marker1) + m)]).c_str(),
            expected);
        Check(after.marker[m] == expected, "a marker is its cell's number or the row before's");
    }
}

// The lines of a text as TextLineReader hands them out, each cut at a NUL as c_str() cuts it.
std::vector<std::string> Lines(const std::uint8_t* data, std::size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    text = text.substr(0, text.find('\x1a'));
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        std::string line = text.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line.c_str());
        if (end == std::string::npos) break;
        start = end + 1;
    }
    return lines;
}

}  // namespace

void CsvLineOne(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::string> lines = Lines(data, size);
    if (lines.empty()) return;
    const nivra::CsvColumns columns = nivra::MapCsvColumns(lines[0].c_str());
    CheckColumns(lines[0], columns);
    TParser parser(',');
    Parsers commas(','), semicolons(';');
    nivra::RowValues row;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        CheckParser(lines[i], commas);
        CheckParser(lines[i], semicolons);
        if (i == 0) continue;
        const nivra::RowValues before = row;
        nivra::ReadRowValues(parser, lines[i].c_str(), columns, row);
        CheckCarryOver(parser, columns, before, row);
    }
}

}  // namespace nivrafuzz

// Builders of a terminal folder for the import tests: logs in both formats written with the
// log writers, CSV files and "fields.txt" written as text with CR LF line ends, and an
// independent reading of a CSV file's rows for comparison.
#pragma once
#include <cstdlib>
#include <string>
#include <vector>

#include "fixtures/TempDir.h"
#include "logwriter/LogWriters.h"

namespace importtest {

inline const char* const kCsvHeader =
    "Long,Lat,Alt,BI,N,Nas,ApplFactor,Marker 1,Marker 2,Marker 3,Marker 4,Calibration,Nc";

inline void WriteLines(const std::string& path, const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& line : lines) text += line + "\r\n";
    fixtures::WriteAll(path, text);
}

// A binary log of three positions: markers 1 on the first, a calibration reading on the third.
inline void WriteBinaryLog(const std::string& path) {
    logwriter::BinaryLogWriter log;
    log.Nc(420)
        .Position(515012000, 74980000, 1200)
        .Reading(25.0f, 120.0f, 3)
        .NasInteger(108)
        .Markers(0x1)
        .Position(515013000, 74981000, 1210)
        .Reading(26.0f, 124.0f, 3)
        .NasInteger(112)
        .Position(515014000, 74982000, 1220)
        .Reading(27.0f, -1.0f, 4)
        .NasInteger(0);
    log.Save(path);
}

// An older-format log of a few positions.
inline void WriteLegacyLog(const std::string& path) {
    using W = logwriter::LegacyLogWriter;
    W log;
    log.Value(0, W::Type3Word0(8)).Position(121, 515081000, 75212000);
    for (int k = 0; k < 4; ++k) {
        log.Value(0, W::Type1Word0(static_cast<std::uint8_t>(60 + k), static_cast<std::uint8_t>(90 + k)));
        log.Value(1, W::Type1Word1(static_cast<std::uint8_t>(60 + k), static_cast<std::uint8_t>(50 + k), 1));
        log.Position(static_cast<std::uint8_t>(122 + k), 515081000 + 1000 * k, 75212000 + 1000 * k);
    }
    log.Value(0, 0).EndMarker();
    log.Save(path);
}

// One CSV row as the import reads it: an empty cell keeps the value of the row before.
struct CsvRow {
    double lon = 0, lat = 0, alt = 0, bi = 0, n = 0, nas = 0, factor = 0, nc = 0;
    int markers[5] = {0, 0, 0, 0, 0};
};

// Reads the rows of a converter-written CSV (fixed header, no quotes) on its own terms.
inline std::vector<CsvRow> ReadCsvRows(const std::string& path) {
    std::string text = fixtures::ReadAll(path);
    std::vector<CsvRow> rows;
    CsvRow row;
    std::size_t start = text.find('\n');
    while (start != std::string::npos && start + 1 < text.size()) {
        std::size_t end = text.find('\n', start + 1);
        std::string line = text.substr(start + 1, end == std::string::npos ? std::string::npos : end - start - 1);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        std::vector<std::string> cells;
        std::size_t from = 0;
        for (;;) {
            std::size_t comma = line.find(',', from);
            cells.push_back(line.substr(from, comma == std::string::npos ? std::string::npos : comma - from));
            if (comma == std::string::npos) break;
            from = comma + 1;
        }
        double* doubles[] = {&row.lon, &row.lat, &row.alt, &row.bi, &row.n, &row.nas, &row.factor};
        for (std::size_t i = 0; i < 7 && i < cells.size(); ++i)
            if (!cells[i].empty() && cells[i].find_first_not_of(' ') != std::string::npos)
                *doubles[i] = std::atof(cells[i].c_str());
        for (std::size_t i = 0; i < 5 && 7 + i < cells.size(); ++i)
            if (!cells[7 + i].empty()) row.markers[i] = std::atoi(cells[7 + i].c_str());
        if (cells.size() > 12 && cells[12].find_first_not_of(' ') != std::string::npos)
            row.nc = std::atof(cells[12].c_str());
        rows.push_back(row);
        for (int& m : row.markers) m = 0;  // a marker counts on its own row only
        start = end;
    }
    return rows;
}

}  // namespace importtest

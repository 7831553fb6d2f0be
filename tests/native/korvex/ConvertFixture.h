// Runs korvexToCSV on bytes built by the log writers and returns the result and the CSV.
#pragma once
#include <sstream>
#include <string>
#include <vector>

#include "fixtures/TempDir.h"
#include "korvex.h"
#include "logwriter/LogWriters.h"

struct Conversion {
    int result;
    std::string csv;
    bool outputExists;
};

inline Conversion ConvertBytes(const logwriter::Bytes& log, std::uint32_t skipPosition = 0xFFFFFFFF,
                               std::uint32_t skipReading = 0xFFFFFFFF) {
    fixtures::TempDir dir;
    std::string in = dir.File("in.log"), out = dir.File("out.csv");
    logwriter::SaveBytes(in, log);
    int result = korvexToCSV(in.c_str(), out.c_str(), skipPosition, skipReading);
    std::ifstream probe(out);
    bool exists = probe.good();
    return {result, fixtures::ReadAll(out), exists};
}

inline const std::string kHeaderLine =
    "Long,Lat,Alt,BI,N,Nas,ApplFactor,Marker 1,Marker 2,Marker 3,Marker 4,Calibration,Nc\r\n";

// The data lines of a CSV, without the header line and without line ends.
inline std::vector<std::string> DataLines(const std::string& csv) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < csv.size()) {
        std::size_t end = csv.find("\r\n", start);
        if (end == std::string::npos) {
            lines.push_back(csv.substr(start) + "<no line end>");
            break;
        }
        lines.push_back(csv.substr(start, end - start));
        start = end + 2;
    }
    if (!lines.empty()) lines.erase(lines.begin());
    return lines;
}

constexpr std::uint32_t kTrue = 0xFFFFFFFF, kFalse = 0;

// Small logs of both formats with markers, Nc and Nas values: five and four positions.
inline logwriter::Bytes BinarySample() {
    logwriter::BinaryLogWriter log;
    for (int i = 0; i < 5; ++i) {
        log.Position(515000000 - i * 1234567, -75000000 + i * 7654321, static_cast<std::int16_t>(-25 + 10 * i));
        log.Reading(20.0f + i, 100.0f + i, static_cast<std::uint8_t>(i));
        if (i == 2) log.Nc(-525).Markers(0x0A);
        log.NasSingle(80.5f + i);
    }
    return log.Data();
}

inline logwriter::Bytes LegacySample() {
    using W = logwriter::LegacyLogWriter;
    W log;
    for (int i = 0; i < 4; ++i)
        log.Value(0, W::Type1Word0(static_cast<std::uint8_t>(50 + i), 0x96))
            .Value(1, W::Type1Word1(static_cast<std::uint8_t>(100 + i), 20, 3))
            .Position(static_cast<std::uint8_t>(40 + i), -338688197 + i, 1512093 - i * 3000000);
    log.Value(0, 0).EndMarker();
    return log.Data();
}

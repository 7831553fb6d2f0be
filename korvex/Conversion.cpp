#include "korvex.h"

#include <exception>
#include <optional>

#include "FileImage.h"
#include "WinLogFile.h"
#include "logFile.h"

namespace korvex {

const char* const kCsvHeader =
    "Long,Lat,Alt,BI,N,Nas,ApplFactor,Marker 1,Marker 2,Marker 3,Marker 4,Calibration,Nc";

namespace {

std::uint64_t DataLines(const std::optional<FileLineSink>& sink) {
    // The header is the first line of both formats' output (the header constant is never empty).
    return sink && sink->LinesWritten() > 0 ? sink->LinesWritten() - 1 : 0;
}

}  // namespace

ConversionReport ConvertLog(const std::string& inputPath, const std::string& outputPath,
                            bool skipPositionCheck, bool skipReadingCheck) {
    ConversionReport report;
    std::optional<FileLineSink> sink;
    try {
        TWinLogFile binaryLog(inputPath);
        if (binaryLog.IsWinLogFile()) {
            report.format = LogFormat::Binary;
            sink.emplace(outputPath);
            binaryLog.ConvertTo(*sink, kCsvHeader, skipPositionCheck, skipReadingCheck);
        } else {
            report.format = LogFormat::Legacy;
            TLogFile legacyLog(inputPath);
            sink.emplace(outputPath);
            legacyLog.ConvertTo(*sink, kCsvHeader, skipPositionCheck, skipReadingCheck);
        }
        report.ok = true;
    } catch (const std::exception& e) {
        report.error = e.what();
    } catch (...) {
        report.error = "unknown error";
    }
    report.rowsWritten = DataLines(sink);
    return report;
}

}  // namespace korvex


#include "korvex.h"

#include <exception>
#include <optional>

#include "FileImage.h"
#include "WinLogFile.h"
#include "logFile.h"

namespace korvex {

const char* const kCsvHeader = "Long,Lat,Alt,BI,N,Nas,ApplFactor,Marker 1,Marker 2,Marker 3,Marker 4,Calibration,Nc";

namespace {

std::uint64_t DataLines(const LineSink& sink) {
    // The header is the first line of both formats' output (the header constant is never empty).
    return sink.LinesWritten() > 0 ? sink.LinesWritten() - 1 : 0;
}

}  // namespace

LogFormat IdentifyLog(const FileImage& image) {
    const auto size = static_cast<std::size_t>(image.size > 0 ? image.size : 0);
    return IsBinarySignature(reinterpret_cast<const char*>(image.bytes.get()), size) ? LogFormat::Binary
                                                                                     : LogFormat::Legacy;
}

namespace {

void ConvertByFormat(ConversionReport& report, FileImage image, LineSink& sink, bool skipPositionCheck,
                     bool skipReadingCheck) {
    if (report.format == LogFormat::Binary) {
        TWinLogFile log(std::move(image));
        try {
            log.ConvertTo(sink, kCsvHeader, skipPositionCheck, skipReadingCheck);
        } catch (...) {
            report.errorOffset = log.RecordStart();
            throw;
        }
    } else {
        TLogFile(std::move(image)).ConvertTo(sink, kCsvHeader, skipPositionCheck, skipReadingCheck);
    }
}

template <typename Body>
ConversionReport Reported(Body body) {
    ConversionReport report;
    try {
        body(report);
        report.ok = true;
    } catch (const std::exception& e) {
        report.error = e.what();
    } catch (...) {
        report.error = "unknown error";
    }
    return report;
}

}  // namespace

ConversionReport ConvertImage(FileImage image, LineSink& sink, bool skipPositionCheck, bool skipReadingCheck) {
    ConversionReport report = Reported([&](ConversionReport& r) {
        r.format = IdentifyLog(image);
        ConvertByFormat(r, std::move(image), sink, skipPositionCheck, skipReadingCheck);
    });
    report.rowsWritten = DataLines(sink);
    return report;
}

ConversionReport ConvertLog(const std::string& inputPath, const std::string& outputPath, bool skipPositionCheck,
                            bool skipReadingCheck) {
    // The input is read once, before the output is created: an unreadable log leaves no CSV.
    std::optional<FileLineSink> sink;
    ConversionReport report = Reported([&](ConversionReport& r) {
        FileImage image = ReadFileImage(inputPath);
        r.format = IdentifyLog(image);
        sink.emplace(outputPath);
        ConvertByFormat(r, std::move(image), *sink, skipPositionCheck, skipReadingCheck);
    });
    if (sink) report.rowsWritten = DataLines(*sink);
    return report;
}

}  // namespace korvex

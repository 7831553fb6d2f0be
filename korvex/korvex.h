// The conversion library's entry points: the C export korvexToCSV, and the same conversion
// for C++ callers (the korvex tool) with a report of what happened.
#pragma once
#include <cstdint>
#include <string>

#if defined(_WIN32)
#define KORVEX_STDCALL __stdcall
#else
#define KORVEX_STDCALL
#endif

#if !defined(_WIN32) && defined(KORVEX_EXPORTING)
#define KORVEX_EXPORT __attribute__((visibility("default")))
#else
#define KORVEX_EXPORT
#endif

extern "C" {
// Converts one terminal log to the log CSV. Only the low 16 bits of each flag count.
// Answers 0 when the conversion ran to its end, -1 when an error ended it.
KORVEX_EXPORT std::int32_t KORVEX_STDCALL korvexToCSV(const char* inputPath, const char* outputPath,
                                                      std::uint32_t skipPositionCheck, std::uint32_t skipReadingCheck);
}

namespace korvex {

extern const char* const kCsvHeader;

enum class LogFormat { Unknown, Binary, Legacy };

struct ConversionReport {
    bool ok = false;
    LogFormat format = LogFormat::Unknown;
    std::uint64_t rowsWritten = 0;  // data lines written to the CSV, header not counted
    std::string error;              // what ended the conversion, when !ok
    // Binary log, when !ok: the file offset of the record being read when the conversion
    // ended (a record cut short by the end of the file begins there); -1 otherwise.
    std::int64_t errorOffset = -1;
};

ConversionReport ConvertLog(const std::string& inputPath, const std::string& outputPath, bool skipPositionCheck,
                            bool skipReadingCheck);

struct FileImage;
class LineSink;

// The format of a log held in memory: Binary by its header signature, Legacy otherwise.
LogFormat IdentifyLog(const FileImage& image);

// The same conversion over a log held in memory, into any line sink (the header line first);
// the sink is closed when the conversion ran to its end.
ConversionReport ConvertImage(FileImage image, LineSink& sink, bool skipPositionCheck, bool skipReadingCheck);

}  // namespace korvex

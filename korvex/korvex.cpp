// The library's one export. Every error of a conversion ends here as -1: nothing is thrown
// across the export and no message leaves the library.
#include "korvex.h"

extern "C" KORVEX_EXPORT std::int32_t KORVEX_STDCALL korvexToCSV(const char* inputPath, const char* outputPath,
                                                                 std::uint32_t skipPositionCheck,
                                                                 std::uint32_t skipReadingCheck) {
    try {
        if (!inputPath || !outputPath) return -1;
        korvex::ConversionReport report = korvex::ConvertLog(inputPath, outputPath, (skipPositionCheck & 0xFFFF) != 0,
                                                             (skipReadingCheck & 0xFFFF) != 0);
        return report.ok ? 0 : -1;
    } catch (...) {
        return -1;
    }
}

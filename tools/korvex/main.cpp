// korvex: converts terminal logs to the log CSV and tells what a log holds.
//
//   korvex convert LOG... [-o OUT] [--check-position] [--check-reading]
//   korvex info LOG
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "FileImage.h"
#include "KorvexError.h"
#include "WinLogFile.h"
#include "korvex.h"
#include "logFile.h"

namespace {

const char* const kUsage =
    "usage: korvex convert LOG... [-o OUT] [--check-position] [--check-reading]\n"
    "       korvex info LOG\n"
    "\n"
    "convert  writes each log as CSV beside it (LOG with .csv in place of its extension),\n"
    "         or into the folder OUT (OUT may also name the CSV file when one log is given).\n"
    "         Both row checks are skipped by default, as the host's driver does;\n"
    "         --check-position keeps only rows with a valid, non-zero position,\n"
    "         --check-reading keeps only rows with a valid sensor reading.\n"
    "info     prints the format, the header texts and area, the records (or items) by type,\n"
    "         and the number of rows a conversion writes.\n";

bool IsDirectory(const std::string& path);

std::string ReplaceExtension(const std::string& path, const std::string& extension) {
    std::size_t slash = path.find_last_of("/\\");
    std::size_t dot = path.find_last_of('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return path + extension;
    return path.substr(0, dot) + extension;
}

std::string BaseName(const std::string& path) {
    std::size_t slash = path.find_last_of("/\\");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

const char* FormatName(korvex::LogFormat format) {
    switch (format) {
    case korvex::LogFormat::Binary: return "binary log";
    case korvex::LogFormat::Legacy: return "older log";
    default: return "log";
    }
}

int Convert(const std::vector<std::string>& args) {
    std::vector<std::string> logs;
    std::string out;
    bool checkPosition = false, checkReading = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "-o") {
            if (++i == args.size()) return std::fputs("korvex: -o needs a folder or file\n", stderr), 2;
            out = args[i];
        } else if (args[i] == "--check-position") {
            checkPosition = true;
        } else if (args[i] == "--check-reading") {
            checkReading = true;
        } else if (!args[i].empty() && args[i][0] == '-') {
            return std::fprintf(stderr, "korvex: unknown option %s\n%s", args[i].c_str(), kUsage), 2;
        } else {
            logs.push_back(args[i]);
        }
    }
    if (logs.empty()) return std::fputs(kUsage, stderr), 2;
    bool outIsFolder = !out.empty() && (logs.size() > 1 || IsDirectory(out));
    if (logs.size() > 1 && !out.empty() && !IsDirectory(out))
        return std::fprintf(stderr, "korvex: %s is not a folder\n", out.c_str()), 2;

    int failed = 0;
    for (const std::string& log : logs) {
        std::string csv = out.empty()   ? ReplaceExtension(log, ".csv")
                          : outIsFolder ? out + "/" + ReplaceExtension(BaseName(log), ".csv")
                                        : out;
        korvex::ConversionReport report = korvex::ConvertLog(log, csv, !checkPosition, !checkReading);
        if (report.ok) {
            std::printf("%s -> %s (%s, %llu rows)\n", log.c_str(), csv.c_str(), FormatName(report.format),
                        static_cast<unsigned long long>(report.rowsWritten));
        } else {
            ++failed;
            std::fprintf(stderr, "korvex: %s: %s failed: %s (%llu rows written to %s)\n", log.c_str(),
                         FormatName(report.format), report.error.c_str(),
                         static_cast<unsigned long long>(report.rowsWritten), csv.c_str());
        }
    }
    return failed ? 1 : 0;
}

std::uint64_t CountRows(const std::string& path, bool binary) {
    korvex::CountingLineSink sink;
    if (binary) {
        korvex::TWinLogFile log(path);
        log.ConvertTo(sink, korvex::kCsvHeader, true, true);
    } else {
        korvex::TLogFile log(path);
        log.ConvertTo(sink, korvex::kCsvHeader, true, true);
    }
    return sink.LinesWritten() - 1;
}

void PrintBinaryInfo(const std::string& path) {
    korvex::TWinLogFile log(path);
    const auto& h = log.Header();
    std::printf("format:    binary log (signature \"%s\")\n", h.Signature.c_str());
    std::printf("texts:     \"%s\" | \"%s\" | \"%s\" | \"%s\" | \"%s\"\n", h.TextA.c_str(), h.TextB.c_str(),
                h.TextC.c_str(), h.TextD.c_str(), h.TextE.c_str());
    std::printf("area:      %g (text \"%s\")\n", h.Area, h.AreaText.c_str());
    std::map<int, std::uint64_t> byType;
    std::string ending = "the data ends at a record boundary";
    try {
        while (!log.Eof()) ++byType[static_cast<std::uint16_t>(log.ReadRecord().Id)];
    } catch (const korvex::KorvexError& e) {
        ending = std::string("the data ends inside a record (") + e.what() + ")";
    }
    std::printf("records:\n");
    for (const auto& [type, count] : byType)
        std::printf("  0x%04X %s %llu\n", type, type == 0x00FF ? "(other types)" : "             ",
                    static_cast<unsigned long long>(count));
    std::printf("end:       %s\n", ending.c_str());
}

void PrintLegacyInfo(const std::string& path) {
    korvex::TLogFile log(path);
    korvex::LegacyItemCounts counts = log.CountItems();
    std::printf("format:    older log (item stream)\n");
    std::printf("items:\n");
    for (int slot = 0; slot < korvex::kLegacySlots; ++slot)
        if (counts.valueItems[slot])
            std::printf("  value slot %d  %llu\n", slot, static_cast<unsigned long long>(counts.valueItems[slot]));
    std::printf("  position      %llu\n", static_cast<unsigned long long>(counts.positionItems));
    std::printf("end:       %s\n", counts.endMarker       ? "end marker"
                                   : counts.trailingBytes ? "inside an item"
                                                          : "end of file");
}

int Info(const std::vector<std::string>& args) {
    if (args.size() != 1) return std::fputs(kUsage, stderr), 2;
    const std::string& path = args[0];
    try {
        bool binary = korvex::TWinLogFile(path).IsWinLogFile();
        if (binary) PrintBinaryInfo(path);
        else PrintLegacyInfo(path);
        std::printf("rows:      %llu (with both checks skipped)\n",
                    static_cast<unsigned long long>(CountRows(path, binary)));
        return 0;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "korvex: %s: %s\n", path.c_str(), e.what());
        return 1;
    }
}

}  // namespace

#ifdef _WIN32
#include <windows.h>
namespace {
bool IsDirectory(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}
}  // namespace
#else
#include <sys/stat.h>
namespace {
bool IsDirectory(const std::string& path) {
    struct stat st;
    return stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}
}  // namespace
#endif

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    if (args.empty() || args[0] == "-h" || args[0] == "--help") {
        std::fputs(kUsage, args.empty() ? stderr : stdout);
        return args.empty() ? 2 : 0;
    }
    std::string command = args[0];
    args.erase(args.begin());
    if (command == "convert") return Convert(args);
    if (command == "info") return Info(args);
    std::fprintf(stderr, "korvex: unknown command %s\n%s", command.c_str(), kUsage);
    return 2;
}

// Runs many conversions through korvexToCSV in one process, so that a run under Wine pays for
// starting Wine once. The job list holds one conversion per line:
//   input path <TAB> output path <TAB> skipPositionCheck <TAB> skipReadingCheck
// with the flags as unsigned 32-bit decimal values, passed through unchanged. For every job
// one line "<job number> <result>" goes to standard output.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#if defined(_WIN32)
#include <windows.h>
#else
#include "korvex.h"
#endif

namespace {

#if defined(_WIN32)
using KorvexToCsv = std::int32_t(__stdcall*)(const char*, const char*, std::uint32_t, std::uint32_t);

// The library is bound at run time by name, as its callers do; it sits beside this program.
KorvexToCsv BindKorvex() {
    HMODULE library = LoadLibraryA("korvex.dll");
    if (library == nullptr) {
        std::fprintf(stderr, "cannot load korvex.dll (error %lu)\n", GetLastError());
        return nullptr;
    }
    auto entry = reinterpret_cast<KorvexToCsv>(reinterpret_cast<void*>(GetProcAddress(library, "korvexToCSV")));
    if (entry == nullptr) {
        std::fprintf(stderr, "korvex.dll exports no korvexToCSV\n");
    }
    return entry;  // the library stays loaded until the process ends
}
#else
using KorvexToCsv = std::int32_t (*)(const char*, const char*, std::uint32_t, std::uint32_t);

KorvexToCsv BindKorvex() { return &korvexToCSV; }
#endif

struct Job {
    std::string input;
    std::string output;
    std::uint32_t skipPositionCheck = 0;
    std::uint32_t skipReadingCheck = 0;
};

bool ParseJob(const std::string& line, Job& job) {
    std::vector<std::string> parts;
    std::istringstream fields(line);
    std::string part;
    while (std::getline(fields, part, '\t')) {
        parts.push_back(part);
    }
    if (parts.size() != 4) {
        return false;
    }
    job.input = parts[0];
    job.output = parts[1];
    job.skipPositionCheck = static_cast<std::uint32_t>(std::strtoul(parts[2].c_str(), nullptr, 10));
    job.skipReadingCheck = static_cast<std::uint32_t>(std::strtoul(parts[3].c_str(), nullptr, 10));
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: batch_convert JOBLIST\n");
        return 2;
    }
    KorvexToCsv convert = BindKorvex();
    if (convert == nullptr) {
        return 2;
    }
    std::ifstream jobs(argv[1], std::ios::binary);
    if (!jobs) {
        std::fprintf(stderr, "cannot open the job list %s\n", argv[1]);
        return 2;
    }
    std::string line;
    for (long number = 0; std::getline(jobs, line); ++number) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        Job job;
        if (!ParseJob(line, job)) {
            std::fprintf(stderr, "bad job line %ld\n", number);
            return 2;
        }
        const std::int32_t result =
            convert(job.input.c_str(), job.output.c_str(), job.skipPositionCheck, job.skipReadingCheck);
        std::printf("%ld %ld\n", number, static_cast<long>(result));
    }
    return std::fflush(stdout) == 0 ? 0 : 2;
}

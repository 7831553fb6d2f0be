// Feeds arbitrary bytes to korvexToCSV as a log file. The first byte picks the two flags;
// the rest is the log. Whatever the bytes, the call must answer 0 or -1 and never crash,
// hang or touch memory it does not own.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "korvex.h"

namespace {

std::string ScratchPath(const char* name) {
    const char* base = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
    return std::string(base) + "/korvex-fuzz-" + std::to_string(getpid()) + "-" + name;
}

const std::string kInput = ScratchPath("in.log");
const std::string kOutput = ScratchPath("out.csv");

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::uint8_t flags = size > 0 ? data[0] : 0;
    if (size > 0) {
        ++data;
        --size;
    }
    std::FILE* f = std::fopen(kInput.c_str(), "wb");
    if (!f) return 0;
    if (size) std::fwrite(data, 1, size, f);
    std::fclose(f);
    std::int32_t result =
        korvexToCSV(kInput.c_str(), kOutput.c_str(), (flags & 1) ? 0x10001u : 0x10000u, (flags & 2) ? 0xFFFFu : 0u);
    if (result != 0 && result != -1) std::abort();
    return 0;
}

// The coordinate shortcut, checked for every 32-bit value: a raw coordinate in 10^-7 degrees
// printed as the raw integer with the point inserted (FormatDecimal) gives exactly the text
// of the CSV's number rule applied to raw / 10^7 with "%3.7f" (FormatFixedExact, the 18-digit
// decimal form rounded half away from zero).
//
// Why it holds: the double nearest raw / 10^7 is off by at most 2^-53 of it, its 18-digit form
// by at most 5 x 10^-18 more; for |raw| < 2^31 that is below 3 x 10^-14, far from the half unit
// (5 x 10^-8) of the seventh decimal that the rounding would need. This program shows it
// instead of assuming it.
//
// Usage: korvex_coordcheck [THREADS [FIRST COUNT]]  (default: both cores, the whole range)
// Prints the first differences and "checked N values, M differences"; exits 1 on any.
#include <algorithm>
#include <chrono>
#include <atomic>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "NumberFormat.h"

namespace {

constexpr std::int64_t kFirst = INT32_MIN;
constexpr std::int64_t kCount = std::int64_t(1) << 32;
constexpr std::int64_t kChunk = std::int64_t(1) << 20;

struct Shared {
    std::atomic<std::int64_t> next{0};
    std::atomic<std::int64_t> checked{0};
    std::atomic<std::int64_t> differences{0};
    std::mutex printing;
};

void CheckRange(std::int64_t first, std::int64_t last, Shared& shared) {
    char exact[64 + korvex::kMaxFixedLength], shortcut[64];
    std::int64_t differences = 0;
    for (std::int64_t raw = first; raw < last; ++raw) {
        char* exactEnd = korvex::FormatFixedExact(exact, static_cast<std::int32_t>(raw) / 1e7, 3, 7);
        char* shortcutEnd = korvex::FormatDecimal(shortcut, raw, 3, 7);
        std::size_t length = static_cast<std::size_t>(exactEnd - exact);
        if (length != static_cast<std::size_t>(shortcutEnd - shortcut) || std::memcmp(exact, shortcut, length) != 0) {
            if (++differences <= 10) {
                std::lock_guard<std::mutex> lock(shared.printing);
                std::printf("raw %" PRId64 ": rule \"%.*s\", shortcut \"%.*s\"\n", raw, static_cast<int>(length), exact,
                            static_cast<int>(shortcutEnd - shortcut), shortcut);
            }
        }
    }
    shared.differences += differences;
    shared.checked += last - first;
}

void Work(std::int64_t first, std::int64_t count, Shared& shared) {
    for (;;) {
        std::int64_t offset = shared.next.fetch_add(kChunk);
        if (offset >= count) return;
        CheckRange(first + offset, first + std::min(count, offset + kChunk), shared);
    }
}

}  // namespace

int main(int argc, char** argv) {
    unsigned threads = argc > 1 ? static_cast<unsigned>(std::atoi(argv[1])) : std::thread::hardware_concurrency();
    std::int64_t first = argc > 3 ? std::strtoll(argv[2], nullptr, 10) : kFirst;
    std::int64_t count = argc > 3 ? std::strtoll(argv[3], nullptr, 10) : kCount;
    if (threads == 0) threads = 1;
    if (first < kFirst || count < 0 || first + count > kFirst + kCount) {
        std::fprintf(stderr, "usage: korvex_coordcheck [THREADS [FIRST COUNT]], within the 32-bit range\n");
        return 2;
    }
    Shared shared;
    std::vector<std::thread> workers;
    for (unsigned i = 0; i < threads; ++i) workers.emplace_back(Work, first, count, std::ref(shared));
    // Progress on stderr: the whole range takes minutes.
    for (int tick = 1; shared.checked < count; ++tick) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        if (tick % 100 == 0) std::fprintf(stderr, "  %.1f %%\n", 100.0 * shared.checked / count);
    }
    for (auto& w : workers) w.join();
    std::printf("checked %" PRId64 " values from %" PRId64 " to %" PRId64 ", %" PRId64 " differences\n",
                shared.checked.load(), first, first + count - 1, shared.differences.load());
    return shared.differences == 0 ? 0 : 1;
}

// The export with every allocation of the converter failing in turn, for a log of each format:
// no exception leaves the library, a failed conversion answers -1 and leaves at most the lines
// written before the failure, and the run with no allocation failed writes the full conversion.
#include <gtest/gtest.h>

#include <cstdio>

#include "ConvertFixture.h"
#include "fixtures/AllocationSwitch.h"

namespace {

logwriter::Bytes BinaryLog() {
    logwriter::BinaryLogWriter log;
    for (int i = 0; i < 4; ++i) {
        log.Position(515000000 + i * 37, 75000000 - i * 11, static_cast<std::int16_t>(1200 + i));
        log.Nc(static_cast<std::int16_t>(400 + i)).Reading(20.0f + i, 100.0f + i, 3).Markers(1).NasInteger(90);
    }
    return log.Data();
}

logwriter::Bytes LegacyLog() {
    using W = logwriter::LegacyLogWriter;
    W log;
    log.Value(0, W::Type3Word0(8)).Position(121, 515081000, 75212000);
    for (int k = 0; k < 3; ++k) {
        log.Value(0, W::Type1Word0(static_cast<std::uint8_t>(60 + k), static_cast<std::uint8_t>(90 + k)));
        log.Value(1, W::Type1Word1(static_cast<std::uint8_t>(60 + k), static_cast<std::uint8_t>(50 + k), 1));
        log.Position(static_cast<std::uint8_t>(122 + k), 515081000 + 1000 * k, 75212000 + 1000 * k);
    }
    log.Value(0, 0).EndMarker();
    return log.Data();
}

TEST(ExportAllocationFailure, EveryFailedAllocationAnswersMinusOne) {
    const struct {
        const char* format;
        logwriter::Bytes log;
    } logs[] = {{"binary", BinaryLog()}, {"older", LegacyLog()}};
    for (const auto& c : logs) {
        fixtures::TempDir dir;
        const std::string in = dir.File("in.log"), out = dir.File("out.csv");
        logwriter::SaveBytes(in, c.log);
        ASSERT_EQ(korvexToCSV(in.c_str(), out.c_str(), kTrue, kTrue), 0) << c.format;
        const std::string full = fixtures::ReadAll(out);
        ASSERT_GT(DataLines(full).size(), 2u) << c.format;
        std::remove(out.c_str());
        std::size_t failedRuns = 0;
        for (std::size_t k = 1;; ++k) {
            allocswitch::Arm(k);
            const int result = korvexToCSV(in.c_str(), out.c_str(), kTrue, kTrue);
            const bool fired = allocswitch::Fired();
            allocswitch::Arm(0);
            if (!fired) {
                EXPECT_EQ(result, 0) << c.format;
                EXPECT_EQ(fixtures::ReadAll(out), full) << c.format;
                break;
            }
            ++failedRuns;
            EXPECT_EQ(result, -1) << c.format << ", allocation " << k;
            const std::string left = fixtures::ReadAll(out);
            EXPECT_EQ(left, full.substr(0, left.size()))
                << c.format << ", allocation " << k << ": not a part of the conversion";
            std::remove(out.c_str());
        }
        EXPECT_GT(failedRuns, 0u) << c.format << ": the switch never reached the converter";
    }
}

}  // namespace

// The export with every allocation of the converter failing in turn, for a log of each format:
// no exception leaves the library, a failed conversion answers -1 and leaves at most the lines
// written before the failure, and the run with no allocation failed writes the full conversion.
#include <gtest/gtest.h>

#include <cstdio>

#include "ConvertFixture.h"
#include "fixtures/AllocationSwitch.h"

namespace {

TEST(ExportAllocationFailure, EveryFailedAllocationAnswersMinusOne) {
    const struct {
        const char* format;
        logwriter::Bytes log;
    } logs[] = {{"binary", BinarySample()}, {"older", LegacySample()}};
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

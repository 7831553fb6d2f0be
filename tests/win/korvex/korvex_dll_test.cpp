#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <string>

#include "fixtures/TempDir.h"
#include "logwriter/LogWriters.h"

namespace {

using KorvexToCsv = std::int32_t(__stdcall*)(const char*, const char*, std::uint32_t, std::uint32_t);

const std::string kHeader =
    "Long,Lat,Alt,BI,N,Nas,ApplFactor,Marker 1,Marker 2,Marker 3,Marker 4,Calibration,Nc\r\n";

class KorvexDll : public ::testing::Test {
protected:
    void SetUp() override {
        module_ = LoadLibraryA("korvex.dll");
        ASSERT_NE(module_, nullptr) << "korvex.dll not loadable, error " << GetLastError();
        convert_ = reinterpret_cast<KorvexToCsv>(reinterpret_cast<void*>(GetProcAddress(module_, "korvexToCSV")));
        ASSERT_NE(convert_, nullptr);
    }
    void TearDown() override {
        if (module_) FreeLibrary(module_);
    }

    HMODULE module_ = nullptr;
    KorvexToCsv convert_ = nullptr;
    fixtures::TempDir dir_;
};

}  // namespace

TEST_F(KorvexDll, ExportsOnlyTheUndecoratedName) {
    EXPECT_EQ(GetProcAddress(module_, "korvexToCSV@16"), nullptr);
    EXPECT_EQ(GetProcAddress(module_, "_korvexToCSV@16"), nullptr);
}

TEST_F(KorvexDll, ConvertsABinaryLogWithFlagsAs32BitValues) {
    std::string in = dir_.File("A.log"), out = dir_.File("A.csv");
    logwriter::BinaryLogWriter()
        .Position(515000000, 75000000, 1234)
        .Reading(25.0f, 120.0f, 3)
        .Position(515000100, 75000200, 1235)
        .Reading(-0.5f, 80.0f, 1)
        .Save(in);
    const std::string first = "7.5000000,51.5000000,123,2.50,120,,3,,,,,,\r\n";
    const std::string second = "7.5000200,51.5000100,124,-0.05,80,,1,,,,,,\r\n";
    struct Case {
        std::uint32_t skipReading;
        std::string csv;
    } cases[] = {{65536, kHeader + first}, {65535, kHeader + first + second}, {1, kHeader + first + second},
                 {0, kHeader + first}};
    for (const auto& c : cases) {
        ASSERT_EQ(convert_(in.c_str(), out.c_str(), 0, c.skipReading), 0) << "flag " << c.skipReading;
        EXPECT_EQ(fixtures::ReadAll(out), c.csv) << "flag " << c.skipReading;
    }
}

TEST_F(KorvexDll, ConvertsAnOlderLog) {
    using W = logwriter::LegacyLogWriter;
    std::string in = dir_.File("B.log"), out = dir_.File("B.csv");
    W().Value(0, W::Type8Word0(2)).Value(1, W::Bytes4(40, 42, 10, 12)).Value(2, W::Bytes4(20, 24, 0, 0))
        .Position(42, 515000000, 75000000).Value(0, 0).EndMarker().Save(in);
    ASSERT_EQ(convert_(in.c_str(), out.c_str(), 0xFFFFFFFF, 0xFFFFFFFF), 0);
    EXPECT_EQ(fixtures::ReadAll(out), kHeader + "7.5000000,51.5000000,42,2.20,82,22,20,,,,,,\r\n");
}

TEST_F(KorvexDll, FailuresAnswerExactlyMinusOne) {
    std::string out = dir_.File("C.csv");
    EXPECT_EQ(convert_(dir_.File("missing.log").c_str(), out.c_str(), 1, 1), -1);
    EXPECT_EQ(GetFileAttributesA(out.c_str()), INVALID_FILE_ATTRIBUTES);
    std::string in = dir_.File("C.log");
    logwriter::BinaryLogWriter().Position(1, 1, 1).Raw({0x50, 0x00}).Save(in);
    EXPECT_EQ(convert_(in.c_str(), out.c_str(), 1, 1), -1);
    EXPECT_EQ(convert_(in.c_str(), dir_.File("no\\such\\folder\\C.csv").c_str(), 1, 1), -1);
}

#include <gtest/gtest.h>
#include <windows.h>

#include <cstdint>
#include <random>
#include <string>

#include "fixtures/TempDir.h"
#include "fixtures/X87Precision.h"
#include "logwriter/LogWriters.h"

namespace {

using KorvexToCsv = std::int32_t(__stdcall*)(const char*, const char*, std::uint32_t, std::uint32_t);

const std::string kHeader = "Long,Lat,Alt,BI,N,Nas,ApplFactor,Marker 1,Marker 2,Marker 3,Marker 4,Calibration,Nc\r\n";

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
    } cases[] = {{65536, kHeader + first},
                 {65535, kHeader + first + second},
                 {1, kHeader + first + second},
                 {0, kHeader + first}};
    for (const auto& c : cases) {
        ASSERT_EQ(convert_(in.c_str(), out.c_str(), 0, c.skipReading), 0) << "flag " << c.skipReading;
        EXPECT_EQ(fixtures::ReadAll(out), c.csv) << "flag " << c.skipReading;
    }
}

TEST_F(KorvexDll, ConvertsAnOlderLog) {
    using W = logwriter::LegacyLogWriter;
    std::string in = dir_.File("B.log"), out = dir_.File("B.csv");
    W().Value(0, W::Type8Word0(2))
        .Value(1, W::Bytes4(40, 42, 10, 12))
        .Value(2, W::Bytes4(20, 24, 0, 0))
        .Position(42, 515000000, 75000000)
        .Value(0, 0)
        .EndMarker()
        .Save(in);
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

#if defined(__i386__)
// Calls a four-argument function pointer and reports how far the stack pointer moved: 0 when
// the callee popped its arguments as stdcall must, 16 when it left them (a cdecl export).
extern "C" std::int32_t NivraCallMeasuringStack(void* function, const void* a, const void* b, std::uint32_t c,
                                                std::uint32_t d, std::int32_t* stackMoved);
asm(R"(
    .text
    .globl _NivraCallMeasuringStack
_NivraCallMeasuringStack:
    pushl %ebp
    movl %esp, %ebp
    pushl %ebx
    pushl %esi
    movl %esp, %esi
    pushl 24(%ebp)
    pushl 20(%ebp)
    pushl 16(%ebp)
    pushl 12(%ebp)
    call *8(%ebp)
    movl %esp, %ebx
    subl %esi, %ebx
    movl %esi, %esp
    movl 28(%ebp), %ecx
    movl %ebx, (%ecx)
    popl %esi
    popl %ebx
    popl %ebp
    ret
)");

TEST_F(KorvexDll, TheExportPopsItsArgumentsAsStdcall) {
    std::string in = dir_.File("S.log"), out = dir_.File("S.csv");
    logwriter::BinaryLogWriter().Position(515000000, 75000000, 1234).Reading(25.0f, 120.0f, 3).Save(in);
    std::int32_t moved = -1;
    std::int32_t result =
        NivraCallMeasuringStack(reinterpret_cast<void*>(convert_), in.c_str(), out.c_str(), 0, 0, &moved);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(moved, 0) << "korvexToCSV left " << moved << " bytes of arguments on the stack";
    EXPECT_EQ(NivraCallMeasuringStack(reinterpret_cast<void*>(convert_), nullptr, out.c_str(), 0, 0, &moved), -1);
    EXPECT_EQ(moved, 0) << "korvexToCSV left " << moved << " bytes on the stack on the failure path";
}

TEST(X87Precision, TheSettingTakesEffectInThisProcess) {
    // Without this the precision tests below would test nothing.
    const double correct = 5700.0 / 26.4;
    {
        fixtures::X87Precision at53(_PC_53);
        EXPECT_EQ(fixtures::X87Divide(5700.0, 26.4), correct);
    }
    fixtures::X87Precision at64(_PC_64);
    EXPECT_NE(fixtures::X87Divide(5700.0, 26.4), correct);
}
#endif

TEST_F(KorvexDll, OutputsDoNotDependOnTheCallersX87Precision) {
    // Every value kind of both formats, drawn at random: each precision must give the bytes of
    // the first.
    std::mt19937 random(20261210);
    std::uniform_real_distribution<float> reading(-5.0f, 95.0f), n(0.0f, 260.0f);
    std::uniform_int_distribution<int> small(0, 250), coordinate(-1800000000, 1800000000);
    logwriter::BinaryLogWriter binary;
    using W = logwriter::LegacyLogWriter;
    W legacy;
    for (int i = 0; i < 2000; ++i) {
        binary.Position(coordinate(random) / 2, coordinate(random), small(random))
            .Reading(reading(random), n(random), static_cast<std::uint8_t>(small(random) % 10))
            .NasSingle(n(random))
            .Nc(static_cast<std::int16_t>(small(random) * 3));
        legacy.Value(0, W::Type8Word0(static_cast<unsigned>(small(random) % 20)))
            .Value(1, W::Bytes4(small(random), small(random), small(random), small(random)))
            .Value(2, W::Bytes4(small(random), small(random), 0, 0))
            .Position(static_cast<std::uint8_t>(small(random)), coordinate(random) / 2, coordinate(random));
    }
    binary.Save(dir_.File("B.log"));
    legacy.Value(0, 0).EndMarker().Save(dir_.File("L.log"));
    for (const char* log : {"B", "L"}) {
        std::string first;
        for (const auto& setting : fixtures::X87Settings()) {
            SCOPED_TRACE(std::string(log) + ".log, " + setting.name);
            std::string out = dir_.File(std::string(log) + setting.name + ".csv");
            {
                fixtures::X87Precision precision(setting.precision);
                ASSERT_EQ(convert_(dir_.File(std::string(log) + ".log").c_str(), out.c_str(), 1, 1), 0);
            }
            std::string csv = fixtures::ReadAll(out);
            EXPECT_GT(csv.size(), 100000u);
            if (first.empty()) first = csv;
            EXPECT_TRUE(csv == first) << "the CSV differs from the one written " << fixtures::X87Settings()[0].name;
        }
    }
}

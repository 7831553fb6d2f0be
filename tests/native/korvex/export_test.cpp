#include <gtest/gtest.h>

#include <fcntl.h>
#include <unistd.h>

#include <random>

#include "ConvertFixture.h"
#include "FileImage.h"

using logwriter::BinaryLogWriter;

namespace {

logwriter::Bytes SampleBinaryLog() {
    BinaryLogWriter log;
    for (int i = 0; i < 12; ++i) {
        log.Position(515000000 + i * 37, 75000000 - i * 11, static_cast<std::int16_t>(1200 + i));
        if (i % 3 == 0) log.Nc(static_cast<std::int16_t>(400 + i));
        log.Reading(20.0f + i * 0.5f, i == 5 ? -1.0f : 100.0f + i, static_cast<std::uint8_t>(i));
        if (i % 4 == 1) log.Markers(static_cast<std::uint8_t>(i));
        log.NasInteger(static_cast<std::int16_t>(90 + i));
        log.Record(0x0201, logwriter::Bytes(204, 0));
    }
    return log.Data();
}

}  // namespace

TEST(Export, OnlyTheLow16BitsOfEachFlagCount) {
    // With a reading below zero the row is written only when the reading check is skipped.
    auto log = BinaryLogWriter().Position(515000000, 75000000, 0).Reading(-1.0f, 1.0f, 1).Data();
    struct Case {
        std::uint32_t flag;
        bool skipped;
    } cases[] = {{65536, false}, {65535, true}, {1, true}, {0, false}, {0x80000000u, false}, {0x10001, true}};
    for (const auto& c : cases) {
        auto result = ConvertBytes(log, kTrue, c.flag);
        EXPECT_EQ(result.result, 0);
        EXPECT_EQ(DataLines(result.csv).size(), c.skipped ? 1u : 0u) << "flag " << c.flag;
    }
}

TEST(Export, FailuresAnswerMinusOneAndLeaveNoOutput) {
    fixtures::TempDir dir;
    std::string out = dir.File("out.csv");
    EXPECT_EQ(korvexToCSV(dir.File("missing.log").c_str(), out.c_str(), kTrue, kTrue), -1);
    EXPECT_FALSE(std::ifstream(out).good());

    std::string in = dir.File("in.log");
    logwriter::SaveBytes(in, SampleBinaryLog());
    EXPECT_EQ(korvexToCSV(in.c_str(), dir.File("no/such/folder/out.csv").c_str(), kTrue, kTrue), -1);
    EXPECT_EQ(korvexToCSV(nullptr, out.c_str(), kTrue, kTrue), -1);
    EXPECT_EQ(korvexToCSV(in.c_str(), nullptr, kTrue, kTrue), -1);
    EXPECT_EQ(korvexToCSV(dir.Path().string().c_str(), out.c_str(), kTrue, kTrue), -1);  // a folder
}

TEST(Export, EmptyInputIsAnOlderLogWithNoRows) {
    auto c = ConvertBytes({});
    EXPECT_EQ(c.result, 0);
    EXPECT_EQ(c.csv, kHeaderLine);
}

TEST(Export, ConvertingTwiceGivesIdenticalBytes) {
    fixtures::TempDir dir;
    std::string in = dir.File("in.log"), a = dir.File("a.csv"), b = dir.File("b.csv");
    logwriter::SaveBytes(in, SampleBinaryLog());
    ASSERT_EQ(korvexToCSV(in.c_str(), a.c_str(), kTrue, kTrue), 0);
    ASSERT_EQ(korvexToCSV(in.c_str(), b.c_str(), kTrue, kTrue), 0);
    EXPECT_EQ(fixtures::ReadAll(a), fixtures::ReadAll(b));
    // An existing output is truncated, not appended to.
    ASSERT_EQ(korvexToCSV(in.c_str(), a.c_str(), kTrue, kTrue), 0);
    EXPECT_EQ(fixtures::ReadAll(a), fixtures::ReadAll(b));
    EXPECT_EQ(DataLines(fixtures::ReadAll(a)).size(), 12u);
}

// For every truncation point: a cut inside the header, at a record boundary or inside the
// payload of a record that is only skipped converts (0); any other cut inside a record fails
// (-1). Every line written at a position record is one of the
// full conversion's lines, in order. Only the final row written at the end of the data may
// differ, since the records after the cut are missing from it.
TEST(Export, EveryTruncationOfABinaryLogGivesAPrefixOfItsLines) {
    auto log = SampleBinaryLog();
    auto full = DataLines(ConvertBytes(log).csv);
    // cutFails[n]: whether a log cut after n bytes ends inside a record that reads fields.
    std::vector<bool> cutFails(log.size() + 1, false);
    for (std::size_t p = 512; p < log.size();) {
        std::size_t length = log[p + 2] | (log[p + 3] << 8);
        bool onlySkipped = log[p] == 0x01 && log[p + 1] == 0x02;  // type 0x0201
        for (std::size_t n = p + 1; n < p + 4 + length; ++n) cutFails[n] = n < p + 4 || !onlySkipped;
        p += 4 + length;
    }
    for (std::size_t cut = 0; cut <= log.size(); ++cut) {
        logwriter::Bytes part(log.begin(), log.begin() + cut);
        auto c = ConvertBytes(part);
        bool binary = cut >= 16;
        int expected = cutFails[cut] ? -1 : 0;
        ASSERT_EQ(c.result, expected) << "cut at " << cut;
        if (!binary) continue;
        auto lines = DataLines(c.csv);
        std::size_t checked = (c.result == 0 && !lines.empty()) ? lines.size() - 1 : lines.size();
        ASSERT_LE(checked, full.size()) << "cut at " << cut;
        for (std::size_t i = 0; i < checked; ++i) ASSERT_EQ(lines[i], full[i]) << "cut at " << cut << " line " << i;
    }
}

// A conversion ended by a record cut short reports where that record begins.
TEST(Export, ARecordCutShortIsReportedAtItsStart) {
    auto log = SampleBinaryLog();
    std::vector<std::int64_t> recordStart(log.size() + 1, -1);
    for (std::size_t p = 512; p < log.size();) {
        std::size_t length = log[p + 2] | (log[p + 3] << 8);
        for (std::size_t n = p + 1; n < p + 4 + length; ++n) recordStart[n] = static_cast<std::int64_t>(p);
        p += 4 + length;
    }
    int failures = 0;
    for (std::size_t cut = 513; cut <= log.size(); ++cut) {
        korvex::FileImage image;
        image.bytes.reset(new std::uint8_t[cut]);
        std::copy(log.begin(), log.begin() + cut, image.bytes.get());
        image.size = static_cast<std::int64_t>(cut);
        korvex::CountingLineSink sink;
        auto report = korvex::ConvertImage(std::move(image), sink, true, true);
        if (report.ok) {
            ASSERT_EQ(report.errorOffset, -1) << "cut at " << cut;
            continue;
        }
        ++failures;
        ASSERT_EQ(report.errorOffset, recordStart[cut]) << "cut at " << cut;
    }
    EXPECT_GT(failures, 100);
}

TEST(Export, ArbitraryBytesNeverCrash) {
    std::mt19937 rng(7);
    auto base = SampleBinaryLog();
    logwriter::LegacyLogWriter legacy;
    for (int i = 0; i < 50; ++i) legacy.Value(i % 8, rng()).Position(1, rng(), rng());
    for (int round = 0; round < 400; ++round) {
        auto bytes = (round % 2) ? base : legacy.Data();
        int flips = 1 + rng() % 20;
        for (int f = 0; f < flips; ++f) bytes[rng() % bytes.size()] = static_cast<std::uint8_t>(rng());
        if (round % 5 == 0) bytes.resize(rng() % bytes.size());
        auto c = ConvertBytes(bytes, rng() & 1 ? kTrue : kFalse, rng() & 1 ? kTrue : kFalse);
        ASSERT_TRUE(c.result == 0 || c.result == -1);
        ASSERT_EQ(c.csv.compare(0, kHeaderLine.size(), kHeaderLine), 0);
    }
}

TEST(Export, AFailureToWriteEndsTheConversionWithMinusOne) {
    if (access("/dev/full", W_OK) != 0) GTEST_SKIP() << "no /dev/full here";
    fixtures::TempDir dir;
    std::string in = dir.File("in.log");
    logwriter::SaveBytes(in, SampleBinaryLog());
    EXPECT_EQ(korvexToCSV(in.c_str(), "/dev/full", kTrue, kTrue), -1);
    logwriter::LegacyLogWriter legacy;
    legacy.Value(0, 1).Position(1, 515000000, 75000000).Value(0, 0);
    logwriter::SaveBytes(in, legacy.Data());
    EXPECT_EQ(korvexToCSV(in.c_str(), "/dev/full", kTrue, kTrue), -1);
}

TEST(Export, FilesOf2GiBOrMoreAreRefused) {
    fixtures::TempDir dir;
    std::string in = dir.File("huge.log"), out = dir.File("out.csv");
    {
        logwriter::SaveBytes(in, BinaryLogWriter().Position(1, 1, 1).Data());
        int fd = open(in.c_str(), O_WRONLY);
        ASSERT_GE(fd, 0);
        ASSERT_EQ(ftruncate(fd, 0x80000000LL), 0);  // sparse: takes no disk space
        close(fd);
    }
    EXPECT_EQ(korvexToCSV(in.c_str(), out.c_str(), kTrue, kTrue), -1);
    EXPECT_FALSE(std::ifstream(out).good());
}

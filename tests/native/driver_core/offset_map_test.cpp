// The offset map grid: header, "%lf" values, the blank value and the line-break rule.
#include "publisher/OffsetMapFormat.h"
#include "text/PrintfNumber.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <string>

#include "ScratchFolder.h"

namespace nivra {
namespace {

// The C library's "%lf", the reference for our own formatting.
std::string PrintfLf(double value) {
    char text[400];
    std::snprintf(text, sizeof text, "%lf", value);
    return text;
}

std::string Cell(double value) { return PrintfLf(value) + " "; }

OffsetMapHeader Header(std::int32_t nx, std::int32_t ny) {
    OffsetMapHeader header;
    header.nx = nx;
    header.ny = ny;
    header.xMin = 0.0;
    header.xMax = 90.0;
    header.yMin = 0.0;
    header.yMax = 60.0;
    header.z.Include(40.0);
    header.z.Include(55.0);
    return header;
}

const std::string kHeaderLines =
    "DSAA\r\n%NX% %NY%\r\n0.000000 90.000000\r\n0.000000 60.000000\r\n40.000000 55.000000\r\n";

std::string HeaderText(int nx, int ny) {
    std::string text = kHeaderLines;
    text.replace(text.find("%NX%"), 4, std::to_string(nx));
    text.replace(text.find("%NY%"), 4, std::to_string(ny));
    return text;
}

class OffsetMapFile : public ::testing::Test {
protected:
    // Writes ny rows of nx values numbered from 1.
    std::string WriteNumberedGrid(std::int32_t nx, std::int32_t ny) {
        OffsetMapWriter writer;
        EXPECT_TRUE(writer.Open(Path()));
        writer.WriteHeader(Header(nx, ny));
        for (int i = 1; i <= nx * ny; ++i) writer.WriteValue(i);
        EXPECT_TRUE(writer.Finish());
        return test::ScratchFolder::Read(Path());
    }
    std::string Path() const { return folder.File("North_OffsetMap.grd"); }

    test::ScratchFolder folder;
};

TEST_F(OffsetMapFile, WritesHeaderValuesAndBlanksAsTheTerminalReadsThem) {
    OffsetMapWriter writer;
    ASSERT_TRUE(writer.Open(Path()));
    writer.WriteHeader(Header(3, 2));
    writer.WriteValue(40.0);
    writer.WriteValue(45.0);
    writer.WriteBlank();
    writer.WriteValue(50.0);
    writer.WriteValue(55.0);
    writer.WriteValue(52.0);
    ASSERT_TRUE(writer.Finish());
    EXPECT_EQ(test::ScratchFolder::Read(Path()), HeaderText(3, 2) +
                                                     "40.000000 45.000000 1.70141e+38 \r\n\r\n"
                                                     "50.000000 55.000000 52.000000 \r\n\r\n");
}

struct BreakCase {
    std::int32_t nx;
    std::int32_t ny;
    // Values per line of the data part; 0 is an empty line.
    std::vector<int> lineLengths;
};

TEST_F(OffsetMapFile, BreaksLinesAfterEveryTenthValueAndEndsRowsWithAnEmptyLine) {
    const BreakCase cases[] = {
        {7, 2, {7, 0, 7, 0}},    {10, 2, {10, 0, 0, 10, 0, 0}}, {20, 2, {10, 10, 0, 0, 10, 10, 0, 0}},
        {23, 1, {10, 10, 3, 0}}, {1, 3, {1, 0, 1, 0, 1, 0}},
    };
    for (const BreakCase& c : cases) {
        const std::string file = WriteNumberedGrid(c.nx, c.ny);
        std::string expected = HeaderText(c.nx, c.ny);
        int next = 1;
        for (int length : c.lineLengths) {
            for (int i = 0; i < length; ++i) expected += Cell(next++);
            expected += "\r\n";
        }
        EXPECT_EQ(file, expected) << "nx " << c.nx << ", ny " << c.ny;
    }
}

TEST_F(OffsetMapFile, AnAllBlankGridShowsTheStartValuesOnItsZLine) {
    OffsetMapWriter writer;
    ASSERT_TRUE(writer.Open(Path()));
    OffsetMapHeader header;
    header.nx = 2;
    header.ny = 1;
    writer.WriteHeader(header);
    writer.WriteBlank();
    writer.WriteBlank();
    ASSERT_TRUE(writer.Finish());
    const std::string zLine = PrintfLf(DBL_MAX) + " 0.000000\r\n";
    EXPECT_EQ(zLine.size(), 309 + 7 + 9 + 2u);
    EXPECT_EQ(test::ScratchFolder::Read(Path()),
              "DSAA\r\n2 1\r\n0.000000 0.000000\r\n0.000000 0.000000\r\n" + zLine + "1.70141e+38 1.70141e+38 \r\n\r\n");
}

TEST(OffsetMapRange, StartsAtTheLargestDoubleAndTheSmallestPositiveNormalDouble) {
    OffsetMapRange range;
    EXPECT_EQ(range.zMin, DBL_MAX);
    EXPECT_EQ(range.zMax, DBL_MIN);
    range.Include(-3.0);  // a negative rate never lowers zMax below its start value
    EXPECT_EQ(range.zMin, -3.0);
    EXPECT_EQ(range.zMax, DBL_MIN);
    range.Include(12.5);
    range.Include(7.0);
    EXPECT_EQ(range.zMin, -3.0);
    EXPECT_EQ(range.zMax, 12.5);
}

TEST(OffsetMapFormat, FixedNotationMatchesTheCLibrary) {
    const double samples[] = {0.0,   -0.0,    0.5,     12.5,     0.125,      2.675, 1e-7,
                              -1e-7, 5e-7,    1.5e-6,  2.5e-6,   123456.789, 1e22,  -1e22,
                              1e300, DBL_MIN, DBL_MAX, -DBL_MAX, 1.0 / 3.0,  0.005, 1.005};
    for (double v : samples) {
        for (int decimals : {2, 6}) {
            char reference[400];
            std::snprintf(reference, sizeof reference, "%.*f", decimals, v);
            std::string ours;
            AppendPrintfFixed(ours, v, decimals);
            EXPECT_EQ(ours, reference) << v << " with " << decimals << " decimals";
        }
    }
    std::uint64_t state = 42;
    for (int i = 0; i < 20000; ++i) {
        state = state * 6364136223846793005ull + 1442695040888963407ull;
        const double v = std::ldexp(static_cast<double>(state >> 11), static_cast<int>(state % 90) - 70) *
                         ((state & 1) ? -1.0 : 1.0);
        std::string ours;
        AppendPrintfFixed(ours, v, 6);
        ASSERT_EQ(ours, PrintfLf(v)) << v;
    }
}

TEST_F(OffsetMapFile, AFailedWriteIsReportedAndTheFileRemoved) {
    if (std::filesystem::exists("/dev/full")) {
        OffsetMapWriter full;
        ASSERT_TRUE(full.Open("/dev/full"));
        full.WriteHeader(Header(3, 1));
        full.WriteValue(1.0);
        EXPECT_FALSE(full.Finish());
        EXPECT_TRUE(std::filesystem::is_character_file("/dev/full"));  // never removed
    }

    struct ShortWrites : FileOps {
        std::size_t Write(std::FILE* file, const char* data, std::size_t size) override {
            return FileOps::Write(file, data, size > 0 ? size - 1 : 0);
        }
    } shortWrites;
    OffsetMapWriter writer(shortWrites);
    ASSERT_TRUE(writer.Open(Path()));
    writer.WriteHeader(Header(3, 1));
    for (int i = 0; i < 3; ++i) writer.WriteValue(i);
    EXPECT_FALSE(writer.Finish());
    EXPECT_FALSE(std::filesystem::exists(Path()));
}

TEST_F(OffsetMapFile, AGridCutShortKeepsWhatWasWritten) {
    {
        OffsetMapWriter writer;
        ASSERT_TRUE(writer.Open(Path()));
        writer.WriteHeader(Header(3, 2));
        writer.WriteValue(40.0);
    }
    EXPECT_EQ(test::ScratchFolder::Read(Path()), HeaderText(3, 2) + "40.000000 ");
}

TEST_F(OffsetMapFile, AnUnopenableFileIsReported) {
    OffsetMapWriter writer;
    EXPECT_FALSE(writer.Open(folder.File("missing/North_OffsetMap.grd")));
    EXPECT_FALSE(writer.Finish());
}

}  // namespace
}  // namespace nivra

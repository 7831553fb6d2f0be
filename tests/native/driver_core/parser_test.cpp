// TParser: splitting, quoting, blanks, and the "%lf" / "%ld" scans.
#include "text/TParser.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <limits>
#include <string>
#include <vector>

namespace nivra {
namespace {

struct SplitCase {
    const char* line;
    char separator;
    std::vector<std::string> fields;
};

std::vector<std::string> Fields(TParser& parser) {
    std::vector<std::string> out;
    for (std::int32_t i = 1; i <= parser.Count(); ++i) out.push_back(parser.GetText(i));
    return out;
}

TEST(TParser, SplitsLinesIntoFieldsWithoutQuotesAndLeadingBlanks) {
    const SplitCase cases[] = {
        {"a,b,,d", ',', {"a", "b", "", "d"}},
        {",x", ',', {"", "x"}},
        {"x,", ',', {"x", ""}},
        {"\"1,5\",2", ',', {"1,5", "2"}},
        {"\"Long\",\"Lat\"", ',', {"Long", "Lat"}},
        {"\"a\"\"b\",c", ',', {"a\"b", "c"}},
        {"  12,12  ", ',', {"12", "12  "}},
        {"   ,x", ',', {"", "x"}},
        {"\t7,x", ',', {"\t7", "x"}},  // only blanks are skipped, not tabs
        {"", ',', {""}},
        {"\r\n", ',', {""}},
        {"a,b\r\n", ',', {"a", "b"}},
        {"a,b\n,c", ',', {"a", "b"}},  // the line ends at its line end
        {"\"a\nb\",c", ',', {"a\nb", "c"}},
        {"\"x;y\";z", ';', {"x;y", "z"}},
        {"North;12.40;;;;;0;null", ';', {"North", "12.40", "", "", "", "", "0", "null"}},
        {"a,b;c", ';', {"a,b", "c"}},
        {"a\"b\"c,d", ',', {"abc", "d"}},
    };
    for (const SplitCase& c : cases) {
        TParser parser(c.separator);
        EXPECT_EQ(parser.Parse(c.line, -1), static_cast<std::int32_t>(c.fields.size())) << "line '" << c.line << "'";
        EXPECT_EQ(Fields(parser), c.fields) << "line '" << c.line << "'";
    }
}

TEST(TParser, FieldNumbersOutsideTheLineGiveEmptyText) {
    TParser parser(',');
    parser.Parse("a,b", -1);
    EXPECT_EQ(parser.GetText(0), "");
    EXPECT_EQ(parser.GetText(-3), "");
    EXPECT_EQ(parser.GetText(3), "");
    double d = 4.5;
    std::int32_t l = 9;
    EXPECT_FALSE(parser.GetDouble(3, d));
    EXPECT_FALSE(parser.GetLong(0, l));
    EXPECT_EQ(d, 4.5);
    EXPECT_EQ(l, 9);
}

TEST(TParser, AShortLineAfterALongOneKeepsNothingOfIt) {
    TParser parser(',');
    parser.Parse("aaaaaaaa,bbbbbbbb,cccccccc,dddddddd", -1);
    EXPECT_EQ(parser.Parse("x", -1), 1);
    EXPECT_EQ(parser.GetText(1), "x");
    EXPECT_EQ(parser.GetText(2), "");
    EXPECT_EQ(parser.Parse(",", -1), 2);
    EXPECT_EQ(parser.GetText(1), "");
    EXPECT_EQ(parser.GetText(2), "");
}

TEST(TParser, SplitsAVeryLongLineWhole) {
    std::string line;
    for (int i = 0; i < 5000; ++i) line += std::to_string(i) + ",";
    line += "end";
    TParser parser(',');
    ASSERT_EQ(parser.Parse(line.c_str(), -1), 5001);
    EXPECT_EQ(parser.GetText(4000), "3999");
    EXPECT_EQ(parser.GetText(5001), "end");
}

TEST(TParser, FieldLimitStopsSplitting) {
    TParser parser(',');
    parser.Parse("a,b,c", 1);
    EXPECT_EQ(parser.GetText(1), "a");
    for (std::int32_t i = 2; i <= parser.Count(); ++i) EXPECT_EQ(parser.GetText(i), "") << i;
}

struct DoubleCase {
    const char* text;
    bool converts;
    double value;
};

TEST(TParser, ReadsDecimalNumbersLikeAPercentLfScan) {
    const double inf = std::numeric_limits<double>::infinity();
    const DoubleCase cases[] = {
        {"12.5", true, 12.5},
        {"  -3.25e2", true, -325.0},
        {"\t7", true, 7.0},
        {"+.5", true, 0.5},
        {"5.", true, 5.0},
        {"0.1", true, 0.1},
        {"12abc", true, 12.0},
        {"1,5", true, 1.0},  // a comma is never a decimal separator
        {"1e", true, 1.0},
        {"1e+x", true, 1.0},
        {"2E-3", true, 0.002},
        {"0x1A", true, 0.0},  // decimal only
        {"007.50", true, 7.5},
        {"123456789012345678901234567890", true, 1.2345678901234568e29},
        {"1e400", true, inf},
        {"-1e400", true, -inf},
        {"0.000000001e-400", true, 0.0},
        {"123456789e-420", true, 0.0},
        {"", false, 0.0},
        {"   ", false, 0.0},
        {".", false, 0.0},
        {"-", false, 0.0},
        {"+.e5", false, 0.0},
        {"abc", false, 0.0},
        {"inf", false, 0.0},
        {"nan", false, 0.0},
    };
    for (const DoubleCase& c : cases) {
        double value = -777.0;
        EXPECT_EQ(ScanDouble(c.text, value), c.converts) << "text '" << c.text << "'";
        EXPECT_EQ(value, c.converts ? c.value : -777.0) << "text '" << c.text << "'";
    }
}

TEST(TParser, DecimalScanAgreesWithTheCLibraryOnRoundTrips) {
    // Every double printed with 17 significant digits must read back to itself.
    std::uint64_t state = 0x9E3779B97F4A7C15ull;
    for (int i = 0; i < 20000; ++i) {
        state = state * 6364136223846793005ull + 1442695040888963407ull;
        const double v = std::ldexp(static_cast<double>(state >> 11), static_cast<int>(state % 200) - 150);
        char text[64];
        std::snprintf(text, sizeof text, "%.17g", v);
        double read = 0.0;
        ASSERT_TRUE(ScanDouble(text, read)) << text;
        ASSERT_EQ(read, v) << text;
    }
}

struct LongCase {
    const char* text;
    bool converts;
    std::int32_t value;
};

TEST(TParser, ReadsWholeNumbersLikeAPercentLdScanOfA32BitLong) {
    const LongCase cases[] = {
        {"42", true, 42},
        {" -17", true, -17},
        {"+5", true, 5},
        {"12.7", true, 12},
        {"0x10", true, 0},
        {"2147483647", true, 2147483647},
        {"-2147483648", true, -2147483647 - 1},
        {"2147483648", true, 2147483647},  // clamped, not wrapped
        {"-2147483649", true, -2147483647 - 1},
        {"99999999999999999999999", true, 2147483647},
        {"", false, 0},
        {"-", false, 0},
        {"x1", false, 0},
    };
    for (const LongCase& c : cases) {
        std::int32_t value = -777;
        EXPECT_EQ(ScanLong(c.text, value), c.converts) << "text '" << c.text << "'";
        EXPECT_EQ(value, c.converts ? c.value : -777) << "text '" << c.text << "'";
    }
}

TEST(TParser, NumberReadsGoThroughTheSplitFields) {
    TParser parser(',');
    parser.Parse("\"  12.5\",  -3,,x", -1);
    double d = 0.0;
    std::int32_t l = 0;
    EXPECT_TRUE(parser.GetDouble(1, d));
    EXPECT_EQ(d, 12.5);
    EXPECT_TRUE(parser.GetLong(2, l));
    EXPECT_EQ(l, -3);
    EXPECT_FALSE(parser.GetDouble(3, d));
    EXPECT_FALSE(parser.GetLong(4, l));
    EXPECT_EQ(d, 12.5);
    EXPECT_EQ(l, -3);
}

}  // namespace
}  // namespace nivra

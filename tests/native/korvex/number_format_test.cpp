#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <cstring>
#include <random>
#include <vector>

#include "NumberFormat.h"
#include "WinLogCSVRecord.h"

using korvex::AppendFixed;
using korvex::AppendFixedExact;

namespace {

struct FixedCase {
    double value;
    int width, precision;
    const char* expected;
};

std::string Fixed(double v, int w, int p) {
    std::string s;
    AppendFixed(s, v, w, p);
    return s;
}
std::string Exact(double v, int w, int p) {
    std::string s;
    AppendFixedExact(s, v, w, p);
    return s;
}

const FixedCase kCases[] = {
    // Exact ties round away from zero.
    {12.5, 0, 0, "13"},
    {-12.5, 0, 0, "-13"},
    {0.5, 0, 0, "1"},
    {-0.5, 0, 0, "-1"},
    {0.125, 1, 2, "0.13"},
    {-0.125, 1, 2, "-0.13"},
    {5.25, 4, 1, " 5.3"},
    {1.25, 4, 1, " 1.3"},
    {123.5, 0, 0, "124"},
    {2.5, 0, 0, "3"},
    {1234567.125, 1, 2, "1234567.13"},
    // Binary values just below a tie stay below it in their 18-digit form.
    {0.15, 4, 1, " 0.1"},
    {2.675, 1, 2, "2.67"},
    {1.005, 1, 2, "1.00"},
    {0.285, 1, 2, "0.28"},
    // ... and just above.
    {0.45, 4, 1, " 0.5"},
    {2.345, 1, 2, "2.35"},
    {0.055, 1, 2, "0.06"},
    // Below a tie only past the 18th significant digit: the 18-digit form is the tie itself,
    // so it rounds away from zero (printf, rounding the binary value, gives 1000.00).
    {1000.005, 1, 2, "1000.01"},
    {-1000.255, 1, 2, "-1000.26"},
    // Zero and values that round to zero never print a minus sign.
    {0.0, 0, 0, "0"},
    {-0.0, 0, 0, "0"},
    {-0.4, 0, 0, "0"},
    {-0.004, 1, 2, "0.00"},
    {-0.04, 4, 1, " 0.0"},
    // Typical columns.
    {7.5, 3, 7, "7.5000000"},
    {51.5, 3, 7, "51.5000000"},
    {-33.8688197, 3, 7, "-33.8688197"},
    {2.5, 1, 2, "2.50"},
    {120.0, 0, 0, "120"},
    {-20000.0, 0, 0, "-20000"},
    {12.5, 4, 1, "12.5"},
    {-9999.0, 4, 1, "-9999.0"},
    {0.001, 3, 7, "0.0010000"},
    // Beyond 18 significant digits the digits are zeros; never an exponent.
    {1e20, 0, 0, "100000000000000000000"},
    {-1e20, 1, 2, "-100000000000000000000.00"},
    {static_cast<double>(-3.4e38f), 0, 0, "-339999995214436425000000000000000000000"},
    {1152921504606846976.0, 0, 0, "1152921504606846980"},
    {1e-20, 1, 2, "0.00"},
    {9.995, 1, 2, "9.99"},
    {9.9951, 1, 2, "10.00"},
    {99.95, 4, 1, "100.0"},
};

}  // namespace

TEST(NumberFormat, FormatsEveryCaseOfTheTable) {
    for (const auto& c : kCases) {
        EXPECT_EQ(Fixed(c.value, c.width, c.precision), c.expected)
            << "value " << c.value << " width " << c.width << " precision " << c.precision;
        EXPECT_EQ(Exact(c.value, c.width, c.precision), c.expected)
            << "exact path, value " << c.value << " precision " << c.precision;
    }
}

TEST(NumberFormat, FastPathAgreesWithExactPathOnRandomAndTieHeavyValues) {
    std::mt19937_64 rng(20261210);
    std::uniform_real_distribution<double> uniform(-20000, 20000);
    std::uniform_int_distribution<std::int64_t> ints(-2000000000, 2000000000);
    const int precisions[] = {0, 1, 2, 7};
    for (int i = 0; i < 300000; ++i) {
        double candidates[] = {uniform(rng),
                               ints(rng) / 1e7,
                               ints(rng) / 10.0,
                               ints(rng) / 100.0,
                               static_cast<float>(uniform(rng)) * 0.1,
                               ints(rng) * 0.5 / 1000.0};
        for (double v : candidates)
            for (int p : precisions) ASSERT_EQ(Fixed(v, 4, p), Exact(v, 4, p)) << "value " << v << " precision " << p;
    }
}

TEST(NumberFormat, IntegersPrintPlain) {
    std::string s;
    korvex::AppendInt(s, -9999);
    s += ',';
    korvex::AppendInt(s, 0);
    s += ',';
    korvex::AppendInt(s, 2147483647);
    s += ',';
    korvex::AppendInt(s, INT64_MIN);
    s += ',';
    korvex::AppendInt(s, 4294967296);
    EXPECT_EQ(s, "-9999,0,2147483647,-9223372036854775808,4294967296");
}

namespace {

std::string Decimal(std::int64_t units, int width, int precision) {
    char text[64];
    return std::string(text, korvex::FormatDecimal(text, units, width, precision));
}

std::string ExactText(double v, int width, int precision) {
    char text[64 + korvex::kMaxFixedLength];
    return std::string(text, korvex::FormatFixedExact(text, v, width, precision));
}

}  // namespace

TEST(NumberFormat, DecimalsPrintTheirDigitsWithThePointInserted) {
    struct Case {
        std::int64_t units;
        int width, precision;
        const char* expected;
    } cases[] = {
        {0, 3, 7, "0.0000000"},
        {1, 3, 7, "0.0000001"},
        {-1, 3, 7, "-0.0000001"},
        {75000000, 3, 7, "7.5000000"},
        {-338688197, 3, 7, "-33.8688197"},
        {2147483647, 3, 7, "214.7483647"},
        {-2147483647 - 1, 3, 7, "-214.7483648"},
        {-9999999, 3, 7, "-0.9999999"},
        {10000000, 3, 7, "1.0000000"},
        {0, 0, 0, "0"},
        {-1, 0, 0, "-1"},
        {3277, 0, 0, "3277"},
        {-3277, 0, 0, "-3277"},
        {53, 4, 1, " 5.3"},
        {-53, 4, 1, "-5.3"},
        {5, 4, 1, " 0.5"},
        {250, 1, 2, "2.50"},
        {4294967296, 0, 0, "4294967296"},
        {-123456789012345, 3, 7, "-12345678.9012345"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(Decimal(c.units, c.width, c.precision), c.expected) << c.units << " " << c.precision;
}

// The coordinates of both converters print as their raw integers in 10^-7 degrees with the
// point inserted. That this is the number rule applied to raw / 10^7 is checked here at the
// edges and on a sample; bench/coordcheck checks all 2^32 values.
TEST(NumberFormat, RawCoordinatesPrintAsTheRuleDoesWithTheirDivisionByTenMillion) {
    std::vector<std::int64_t> raws;
    for (std::int64_t edge : {std::int64_t(INT32_MIN), std::int64_t(INT32_MAX), std::int64_t(0)})
        for (std::int64_t d = -2000; d <= 2000; ++d)
            if (edge + d >= INT32_MIN && edge + d <= INT32_MAX) raws.push_back(edge + d);
    for (std::int64_t k = -214; k <= 214; ++k)  // around every whole degree, and half degree
        for (std::int64_t d : {-1, 0, 1, 4999999, 5000000, 5000001})
            if (k * 10000000 + d >= INT32_MIN && k * 10000000 + d <= INT32_MAX) raws.push_back(k * 10000000 + d);
    std::mt19937 rng(15);
    for (int i = 0; i < 300000; ++i) raws.push_back(static_cast<std::int32_t>(rng()));
    for (std::int64_t raw : raws)
        ASSERT_EQ(Decimal(raw, 3, 7), ExactText(static_cast<std::int32_t>(raw) / 1e7, 3, 7)) << "raw " << raw;
}

TEST(NumberFormat, EveryAltitudeInTenthsRoundsAsTheRuleDoes) {
    for (std::int32_t tenths = INT16_MIN; tenths <= INT16_MAX; ++tenths)
        ASSERT_EQ(Decimal(korvex::RoundedTenths(tenths), 0, 0), ExactText(tenths / 10.0, 0, 0)) << tenths;
    EXPECT_EQ(korvex::RoundedTenths(5), 1);
    EXPECT_EQ(korvex::RoundedTenths(-5), -1);
    EXPECT_EQ(korvex::RoundedTenths(-4), 0);
    EXPECT_EQ(korvex::RoundedTenths(-32768), -3277);
}

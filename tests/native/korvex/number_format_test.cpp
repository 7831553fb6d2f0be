#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>

#include "NumberFormat.h"

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
    {12.5, 0, 0, "13"}, {-12.5, 0, 0, "-13"}, {0.5, 0, 0, "1"}, {-0.5, 0, 0, "-1"},
    {0.125, 1, 2, "0.13"}, {-0.125, 1, 2, "-0.13"}, {5.25, 4, 1, " 5.3"}, {1.25, 4, 1, " 1.3"},
    {123.5, 0, 0, "124"}, {2.5, 0, 0, "3"}, {1234567.125, 1, 2, "1234567.13"},
    // Binary values just below a tie stay below it in their 18-digit form.
    {0.15, 4, 1, " 0.1"}, {2.675, 1, 2, "2.67"}, {1.005, 1, 2, "1.00"}, {0.285, 1, 2, "0.28"},
    // ... and just above.
    {0.45, 4, 1, " 0.5"}, {2.345, 1, 2, "2.35"}, {0.055, 1, 2, "0.06"},
    // Below a tie only past the 18th significant digit: the 18-digit form is the tie itself,
    // so it rounds away from zero (printf, rounding the binary value, gives 1000.00).
    {1000.005, 1, 2, "1000.01"}, {-1000.255, 1, 2, "-1000.26"},
    // Zero and values that round to zero never print a minus sign.
    {0.0, 0, 0, "0"}, {-0.0, 0, 0, "0"}, {-0.4, 0, 0, "0"}, {-0.004, 1, 2, "0.00"}, {-0.04, 4, 1, " 0.0"},
    // Typical columns.
    {7.5, 3, 7, "7.5000000"}, {51.5, 3, 7, "51.5000000"}, {-33.8688197, 3, 7, "-33.8688197"},
    {2.5, 1, 2, "2.50"}, {120.0, 0, 0, "120"}, {-20000.0, 0, 0, "-20000"}, {12.5, 4, 1, "12.5"},
    {-9999.0, 4, 1, "-9999.0"}, {0.001, 3, 7, "0.0010000"},
    // Beyond 18 significant digits the digits are zeros; never an exponent.
    {1e20, 0, 0, "100000000000000000000"}, {-1e20, 1, 2, "-100000000000000000000.00"},
    {static_cast<double>(-3.4e38f), 0, 0, "-339999995214436425000000000000000000000"},
    {1152921504606846976.0, 0, 0, "1152921504606846980"},
    {1e-20, 1, 2, "0.00"}, {9.995, 1, 2, "9.99"}, {9.9951, 1, 2, "10.00"}, {99.95, 4, 1, "100.0"},
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
        double candidates[] = {uniform(rng), ints(rng) / 1e7, ints(rng) / 10.0, ints(rng) / 100.0,
                               static_cast<float>(uniform(rng)) * 0.1, ints(rng) * 0.5 / 1000.0};
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
    EXPECT_EQ(s, "-9999,0,2147483647");
}

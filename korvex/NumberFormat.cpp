#include "NumberFormat.h"

#include <charconv>
#include <cmath>
#include <cstring>

namespace korvex {
namespace {

constexpr int kSignificantDigits = 18;

const double kPow10[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,
                         1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15, 1e16, 1e17};

void AppendPadded(std::string& out, const char* text, std::size_t length, int width) {
    for (int pad = width - static_cast<int>(length); pad > 0; --pad) out.push_back(' ');
    out.append(text, length);
}

void AppendNonFinite(std::string& out, double v, int width) {
    const char* text = std::isnan(v) ? "NAN" : (v < 0 ? "-INF" : "INF");
    AppendPadded(out, text, std::strlen(text), width);
}

// Writes magnitude `units` (the value times 10^precision, already rounded) in fixed notation.
void AppendScaled(std::string& out, bool negative, std::uint64_t units, int width, int precision) {
    char digits[24];
    char* end = std::to_chars(digits, digits + sizeof digits, units).ptr;
    int count = static_cast<int>(end - digits);
    char text[48];
    std::size_t n = 0;
    if (negative && units != 0) text[n++] = '-';
    int integerDigits = count - precision;
    if (integerDigits <= 0) {
        text[n++] = '0';
    } else {
        std::memcpy(text + n, digits, integerDigits);
        n += integerDigits;
    }
    if (precision > 0) {
        text[n++] = '.';
        for (int i = integerDigits; i < 0; ++i) text[n++] = '0';
        int from = integerDigits < 0 ? 0 : integerDigits;
        std::memcpy(text + n, digits + from, count - from);
        n += count - from;
    }
    AppendPadded(out, text, n, width);
}

}  // namespace

void AppendFixedExact(std::string& out, double v, int width, int precision) {
    if (!std::isfinite(v)) return AppendNonFinite(out, v, width);
    // The 18-significant-digit form d.ddddddddddddddddde±x, correctly rounded from the binary value.
    char sci[40];
    char* sciEnd = std::to_chars(sci, sci + sizeof sci, v, std::chars_format::scientific,
                                 kSignificantDigits - 1).ptr;
    const char* p = sci;
    bool negative = *p == '-';
    if (negative) ++p;
    char digits[kSignificantDigits];
    int d = 0;
    for (; *p != 'e'; ++p)
        if (*p != '.') digits[d++] = *p;
    int exponent = 0;
    std::from_chars(p + 1 + (p[1] == '+'), sciEnd, exponent);

    // digits[i] has the place value 10^(exponent - i); keep the places down to 10^-precision.
    int kept = exponent + precision + 1;
    // Result digits: the kept digits (zeros past the 18th), rounded half away from zero.
    std::string result;
    if (kept > 0) {
        for (int i = 0; i < kept; ++i) result.push_back(i < kSignificantDigits ? digits[i] : '0');
    }
    bool roundUp = kept >= 0 && kept < kSignificantDigits && digits[kept] >= '5';
    if (roundUp) {
        int i = static_cast<int>(result.size()) - 1;
        while (i >= 0 && result[i] == '9') result[i--] = '0';
        if (i >= 0) ++result[i];
        else result.insert(result.begin(), '1');
    }
    // result holds the value times 10^precision as a decimal integer (possibly empty = 0).
    std::size_t firstNonZero = result.find_first_not_of('0');
    bool isZero = firstNonZero == std::string::npos;
    if (static_cast<int>(result.size()) < precision + 1)
        result.insert(0, precision + 1 - result.size(), '0');
    std::string text;
    if (negative && !isZero) text.push_back('-');
    std::size_t integerDigits = result.size() - precision;
    // Leading zeros of the integer part (from the padding above) go, but one digit stays.
    std::size_t start = 0;
    while (start + 1 < integerDigits && result[start] == '0') ++start;
    text.append(result, start, integerDigits - start);
    if (precision > 0) {
        text.push_back('.');
        text.append(result, integerDigits, precision);
    }
    AppendPadded(out, text.data(), text.size(), width);
}

void AppendFixed(std::string& out, double v, int width, int precision) {
    // Fast path: scale to an integer in double arithmetic and round, unless the scaled value
    // lies so close to a half that the product's rounding error (at most 2^-53 relative) or
    // the 18-digit form (5e-18 relative) could decide it; those go the exact way.
    double magnitude = std::fabs(v);
    if (precision >= 0 && precision <= 17 && magnitude < 1e15) {
        double scaled = magnitude * kPow10[precision];
        if (scaled < 4e15) {
            double whole = std::floor(scaled);
            double fraction = scaled - whole;
            double margin = scaled * 4e-16 + 1e-300;
            if (std::fabs(fraction - 0.5) > margin) {
                std::uint64_t units = static_cast<std::uint64_t>(whole) + (fraction > 0.5 ? 1 : 0);
                return AppendScaled(out, std::signbit(v), units, width, precision);
            }
        }
    }
    AppendFixedExact(out, v, width, precision);
}

void AppendInt(std::string& out, std::int64_t v) {
    char text[24];
    char* end = std::to_chars(text, text + sizeof text, v).ptr;
    out.append(text, end);
}

}  // namespace korvex

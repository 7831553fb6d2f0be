#include "NumberFormat.h"

#include <charconv>
#include <cmath>
#include <cstring>

namespace korvex {
namespace {

constexpr int kSignificantDigits = 18;

const double kPow10[] = {1e0, 1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,
                         1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15, 1e16, 1e17};

char* CopyPadded(char* out, const char* text, std::size_t length, int width) {
    for (int pad = width - static_cast<int>(length); pad > 0; --pad) *out++ = ' ';
    std::memcpy(out, text, length);
    return out + length;
}

char* FormatNonFinite(char* out, double v, int width) {
    const char* text = std::isnan(v) ? "NAN" : (v < 0 ? "-INF" : "INF");
    return CopyPadded(out, text, std::strlen(text), width);
}

constexpr std::uint64_t kPow10Int[] = {1ull,
                                       10ull,
                                       100ull,
                                       1000ull,
                                       10000ull,
                                       100000ull,
                                       1000000ull,
                                       10000000ull,
                                       100000000ull,
                                       1000000000ull,
                                       10000000000ull,
                                       100000000000ull,
                                       1000000000000ull,
                                       10000000000000ull,
                                       100000000000000ull,
                                       1000000000000000ull,
                                       10000000000000000ull,
                                       100000000000000000ull,
                                       1000000000000000000ull,
                                       10000000000000000000ull};

template <typename Unsigned>
int DecimalDigits(Unsigned v) {
    int n = 1;
    while (n < 20 && v >= kPow10Int[n]) ++n;
    return n;
}

constexpr char kDigitPairs[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

// Writes exactly `count` digits of v (the low ones, zero-filled) backwards, ending at `end`.
template <typename Unsigned>
inline void WriteDigits(char* end, Unsigned v, int count) {
    while (count >= 2) {
        end -= 2;
        std::memcpy(end, kDigitPairs + 2 * static_cast<unsigned>(v % 100), 2);
        v /= 100;
        count -= 2;
    }
    if (count) *--end = static_cast<char>('0' + v % 10);
}

// Writes the integer part, the point and `precision` decimals of a magnitude split into
// `whole` and `decimals`, with padding and sign in front. The digits of `whole` are counted
// only when the width could call for padding (never for the CSV's coordinates).
template <typename Unsigned>
inline char* WriteFixed(char* out, bool sign, Unsigned whole, Unsigned decimals, int width, int precision) {
    const int lengthBesideWhole = sign + (precision > 0 ? precision + 1 : 0);
    if (width > lengthBesideWhole + 1) {
        for (int pad = width - lengthBesideWhole - DecimalDigits(whole); pad > 0; --pad) *out++ = ' ';
    }
    if (sign) *out++ = '-';
    out = std::to_chars(out, out + 20, whole).ptr;
    if (precision == 0) return out;
    *out = '.';
    WriteDigits(out + 1 + precision, decimals, precision);
    return out + 1 + precision;
}

// Writes exactly Count digits of v < 10^Count (zero-filled), splitting in halves so that the
// digit pairs come from independent multiplications rather than one chain of divisions.
template <int Count>
inline void WriteExactDigits(char* out, std::uint32_t v) {
    if constexpr (Count == 1) {
        *out = static_cast<char>('0' + v);
    } else if constexpr (Count == 2) {
        std::memcpy(out, kDigitPairs + 2 * v, 2);
    } else {
        constexpr int kLow = Count / 2 + (Count / 2) % 2;  // an even number of low digits
        constexpr auto kSplit = static_cast<std::uint32_t>(kPow10Int[kLow]);
        WriteExactDigits<Count - kLow>(out, v / kSplit);
        WriteExactDigits<kLow>(out + Count - kLow, v % kSplit);
    }
}

// Writes v in decimal; the short numbers of the log CSV without a loop.
inline char* WriteUnsigned(char* out, std::uint32_t v) {
    if (v < 100) {
        if (v < 10) {
            *out = static_cast<char>('0' + v);
            return out + 1;
        }
        WriteExactDigits<2>(out, v);
        return out + 2;
    }
    if (v < 1000) {
        WriteExactDigits<3>(out, v);
        return out + 3;
    }
    if (v < 10000) {
        WriteExactDigits<4>(out, v);
        return out + 4;
    }
    return std::to_chars(out, out + 10, v).ptr;
}

// WriteFixed with the precision known when compiling: the split is a multiplication rather
// than a division and the decimals are written without a loop. For the log CSV's precisions.
template <int Precision>
inline char* WriteFixedScaled(char* out, bool sign, std::uint32_t units, int width) {
    constexpr auto kScale = static_cast<std::uint32_t>(kPow10Int[Precision]);
    const std::uint32_t whole = units / kScale;
    const int lengthBesideWhole = sign + (Precision > 0 ? Precision + 1 : 0);
    if (width > lengthBesideWhole + 1) {
        for (int pad = width - lengthBesideWhole - DecimalDigits(whole); pad > 0; --pad) *out++ = ' ';
    }
    if (sign) *out++ = '-';
    out = WriteUnsigned(out, whole);
    if constexpr (Precision > 0) {
        *out = '.';
        WriteExactDigits<Precision>(out + 1, units % kScale);
        out += 1 + Precision;
    }
    return out;
}

// Writes magnitude `units` (the value times 10^precision, already rounded) in fixed notation.
char* FormatScaled(char* out, bool negative, std::uint64_t units, int width, int precision) {
    const bool sign = negative && units != 0;
    if (units <= 0xFFFFFFFFull) {
        auto small = static_cast<std::uint32_t>(units);
        switch (precision) {
        case 0: return WriteFixedScaled<0>(out, sign, small, width);
        case 1: return WriteFixedScaled<1>(out, sign, small, width);
        case 2: return WriteFixedScaled<2>(out, sign, small, width);
        case 7: return WriteFixedScaled<7>(out, sign, small, width);
        default: break;
        }
        auto scale = static_cast<std::uint32_t>(kPow10Int[precision < 10 ? precision : 0]);
        if (precision < 10) return WriteFixed<std::uint32_t>(out, sign, small / scale, small % scale, width, precision);
    }
    std::uint64_t scale = kPow10Int[precision];
    return WriteFixed<std::uint64_t>(out, sign, units / scale, units % scale, width, precision);
}

// Whether magnitude * 10^precision is exactly an integer plus one half. With magnitude =
// m * 2^e (m the integer significand), m * 10^precision * 2^(e+1) must be an odd integer:
// the trailing zero bits of m, plus precision (the twos in 10^precision), plus e + 1 come to 0.
bool IsExactHalf(double magnitude, int precision) {
    std::uint64_t bits;
    std::memcpy(&bits, &magnitude, sizeof bits);
    int biased = static_cast<int>((bits >> 52) & 0x7FF);
    std::uint64_t m = bits & ((std::uint64_t(1) << 52) - 1);
    if (biased == 0) {
        if (m == 0) return false;
        biased = 1;
    } else {
        m |= std::uint64_t(1) << 52;
    }
    int e = biased - 1075;
    return __builtin_ctzll(m) + precision + e + 1 == 0;
}

}  // namespace

char* FormatFixedExact(char* out, double v, int width, int precision) {
    if (!std::isfinite(v)) return FormatNonFinite(out, v, width);
    // The 18-significant-digit form d.ddddddddddddddddde±x, correctly rounded from the binary value.
    char sci[40];
    char* sciEnd = std::to_chars(sci, sci + sizeof sci, v, std::chars_format::scientific, kSignificantDigits - 1).ptr;
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
    if (static_cast<int>(result.size()) < precision + 1) result.insert(0, precision + 1 - result.size(), '0');
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
    return CopyPadded(out, text.data(), text.size(), width);
}

char* FormatDecimal(char* out, std::int64_t units, int width, int precision) {
    const bool negative = units < 0;
    // The magnitude of the most negative value, too, is a valid unsigned value.
    const std::uint64_t magnitude =
        negative ? 0 - static_cast<std::uint64_t>(units) : static_cast<std::uint64_t>(units);
    // The coordinates and the whole numbers of every row, written here rather than through the
    // general dispatch.
    if (magnitude <= 0xFFFFFFFFull) {
        const bool sign = negative;  // magnitude is not 0 when negative
        if (precision == 7) return WriteFixedScaled<7>(out, sign, static_cast<std::uint32_t>(magnitude), width);
        if (precision == 0) return WriteFixedScaled<0>(out, sign, static_cast<std::uint32_t>(magnitude), width);
    }
    return FormatScaled(out, negative, magnitude, width, precision);
}

char* FormatFixed(char* out, double v, int width, int precision) {
    // Fast path: scale to an integer in double arithmetic and round. The scaled product is off
    // by at most 2^-53 of itself and the 18-digit form by 5e-18 of the value, so only a product
    // within that margin of a half needs a closer look: an exact half (the common case: 123.5,
    // 5.25) rounds away from zero; anything else takes the exact path.
    double magnitude = std::fabs(v);
    if (precision == 0 && magnitude < 2147483648.0) {
        auto integer = static_cast<std::uint32_t>(magnitude);
        if (static_cast<double>(integer) == magnitude)
            return WriteFixedScaled<0>(out, std::signbit(v) && integer != 0, integer, width);
    }
    if (precision >= 0 && precision <= 17 && magnitude < 1e15) {
        double scaled = magnitude * kPow10[precision];
        if (scaled < 4e15) {
            // Truncation is floor here (scaled >= 0) and cheaper than a call to floor().
            auto integer = static_cast<std::uint64_t>(scaled);
            double whole = static_cast<double>(integer);
            double fraction = scaled - whole;
            double margin = scaled * 4e-16 + 1e-300;
            bool roundUp;
            if (std::fabs(fraction - 0.5) > margin) roundUp = fraction > 0.5;
            else if (IsExactHalf(magnitude, precision)) roundUp = true;
            else return FormatFixedExact(out, v, width, precision);
            std::uint64_t units = integer + (roundUp ? 1 : 0);
            return FormatScaled(out, std::signbit(v), units, width, precision);
        }
    }
    return FormatFixedExact(out, v, width, precision);
}

namespace {

void AppendVia(std::string& out, int width, char* (*format)(char*, double, int, int), double v, int precision) {
    std::string buffer(static_cast<std::size_t>(width > 0 ? width : 0) + kMaxFixedLength, '\0');
    char* end = format(&buffer[0], v, width, precision);
    out.append(buffer.data(), static_cast<std::size_t>(end - buffer.data()));
}

}  // namespace

void AppendFixed(std::string& out, double v, int width, int precision) {
    AppendVia(out, width, FormatFixed, v, precision);
}

void AppendFixedExact(std::string& out, double v, int width, int precision) {
    AppendVia(out, width, FormatFixedExact, v, precision);
}

char* FormatInt(char* out, std::int64_t v) { return std::to_chars(out, out + 24, v).ptr; }

void AppendInt(std::string& out, std::int64_t v) {
    char text[24];
    out.append(text, FormatInt(text, v));
}

}  // namespace korvex

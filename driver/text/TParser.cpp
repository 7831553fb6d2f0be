#include "text/TParser.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

namespace nivra {
namespace {

bool IsScanBlank(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r'; }

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

const char* SkipScanBlanks(const char* p) {
    while (IsScanBlank(*p)) ++p;
    return p;
}

const char* SkipDigits(const char* p) {
    while (IsDigit(*p)) ++p;
    return p;
}

std::size_t LeadingSpaces(const char* p) {
    std::size_t k = 0;
    while (p[k] == ' ') ++k;
    return k;
}

// from_chars reports overflow and underflow alike. They are told apart by the decimal
// magnitude of the text: where its first non-zero digit stands, moved by the exponent.
bool DecimalTextOverflows(const char* begin, const char* integerEnd, const char* mantissaEnd, const char* end) {
    const char* firstNonZero = std::find_if(begin, integerEnd, [](char c) { return c != '0'; });
    long long magnitude = integerEnd - firstNonZero;
    if (magnitude == 0 && integerEnd != mantissaEnd) {
        const char* fraction = integerEnd + 1;
        magnitude = -(std::find_if(fraction, mantissaEnd, [](char c) { return c != '0'; }) - fraction);
    }
    if (mantissaEnd != end) {
        const char* e = mantissaEnd + 1;
        const bool negative = *e == '-';
        if (*e == '+' || *e == '-') ++e;
        long long exponent = 0;
        for (; e != end && exponent < 1000000; ++e) exponent = exponent * 10 + (*e - '0');
        magnitude += negative ? -exponent : exponent;
    }
    return magnitude > 0;
}

}  // namespace

bool ScanDouble(const char* text, double& value) {
    const char* p = SkipScanBlanks(text);
    const bool negative = *p == '-';
    if (*p == '+' || *p == '-') ++p;
    const char* begin = p;
    const char* integerEnd = SkipDigits(begin);
    bool hasDigit = integerEnd != begin;
    const char* mantissaEnd = integerEnd;
    if (*integerEnd == '.') {
        mantissaEnd = SkipDigits(integerEnd + 1);
        hasDigit = hasDigit || mantissaEnd != integerEnd + 1;
    }
    if (!hasDigit) return false;
    const char* end = mantissaEnd;
    if (*end == 'e' || *end == 'E') {
        const char* e = end + 1;
        if (*e == '+' || *e == '-') ++e;
        if (IsDigit(*e)) end = SkipDigits(e);
    }
    double magnitude = 0.0;
    const auto result = std::from_chars(begin, end, magnitude);
    if (result.ec == std::errc::result_out_of_range) {
        magnitude =
            DecimalTextOverflows(begin, integerEnd, mantissaEnd, end) ? std::numeric_limits<double>::infinity() : 0.0;
    } else if (result.ec != std::errc()) {
        return false;
    }
    value = negative ? -magnitude : magnitude;
    return true;
}

bool ScanLong(const char* text, std::int32_t& value) {
    const char* p = SkipScanBlanks(text);
    const bool negative = *p == '-';
    if (*p == '+' || *p == '-') ++p;
    if (!IsDigit(*p)) return false;
    constexpr long long kBeyondRange = 1LL << 32;
    long long magnitude = 0;
    for (; IsDigit(*p); ++p) {
        magnitude = std::min(magnitude * 10 + (*p - '0'), kBeyondRange);
    }
    const long long signedValue = negative ? -magnitude : magnitude;
    value = static_cast<std::int32_t>(std::clamp<long long>(signedValue, std::numeric_limits<std::int32_t>::min(),
                                                            std::numeric_limits<std::int32_t>::max()));
    return true;
}

TParser::TParser(char separator) : separator_(separator) {}

void TParser::Prepare(std::size_t length) {
    if (data_.size() < length + 1) data_.resize(length + 1);
    if (items_.size() < length + 1) items_.resize(length + 1);
    std::fill(data_.begin(), data_.begin() + length + 1, '\0');
    std::fill(items_.begin(), items_.begin() + length + 1, kNoItem);
}

// A field's text starts at its first character that is not a leading blank; the blanks
// themselves still take their place in the data buffer.
void TParser::StartFieldIfNeeded(const char* line, std::size_t position, std::size_t output) {
    if (!atFieldStart_) return;
    items_[count_] = output + LeadingSpaces(line + position);
    atFieldStart_ = false;
}

std::int32_t TParser::Parse(const char* line, std::int32_t limit) {
    const std::size_t length = std::strlen(line);
    const long long fieldLimit = limit < 0 ? static_cast<long long>(length) + 1 : limit;
    Prepare(length);
    count_ = 0;
    atFieldStart_ = true;
    bool inQuotes = false, escaped = false;
    char previous = '\0';
    std::size_t out = 0;
    for (std::size_t p = 0; p < length; ++p) {
        const char c = line[p];
        if (c == '"') {
            if (line[p + 1] == '"') {
                if (inQuotes) {
                    ++p;  // the doubled quote stands for one quote character
                    escaped = true;
                } else {
                    inQuotes = true;
                }
            } else {
                escaped = false;
                inQuotes = !inQuotes;
            }
        }
        const bool droppedQuote = c == '"' && !escaped;
        bool lineEnded = false;
        if (inQuotes) {
            if (!droppedQuote) {
                StartFieldIfNeeded(line, p, out);
                data_[out++] = c;
            }
        } else if (c == '\n' || c == '\r') {
            data_[out] = '\0';
            lineEnded = true;
        } else if (c == separator_) {
            if (previous == separator_) items_[count_] = out;  // the empty field between two
            data_[out++] = '\0';
            ++count_;
            atFieldStart_ = true;
        } else if (!droppedQuote) {
            StartFieldIfNeeded(line, p, out);
            data_[out++] = c;
        }
        previous = c;
        if (lineEnded || count_ >= fieldLimit) break;
    }
    return ++count_;
}

const char* TParser::FieldText(std::int32_t number) const {
    if (number < 1 || number > count_) return "";
    const std::size_t item = items_[static_cast<std::size_t>(number) - 1];
    return item == kNoItem ? "" : data_.data() + item;
}

std::string TParser::GetText(std::int32_t number) const { return FieldText(number); }

bool TParser::GetDouble(std::int32_t number, double& value) const { return ScanDouble(FieldText(number), value); }

bool TParser::GetLong(std::int32_t number, std::int32_t& value) const { return ScanLong(FieldText(number), value); }

}  // namespace nivra

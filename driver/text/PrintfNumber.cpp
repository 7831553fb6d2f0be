#include "text/PrintfNumber.h"

#include <charconv>

namespace nivra {

void AppendPrintfFixed(std::string& out, double value, int decimals) {
    char buffer[400];  // the largest double has 309 integer digits
    decimals = decimals < 0 ? 0 : (decimals > 17 ? 17 : decimals);
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, decimals);
    out.append(buffer, result.ptr);
}

void AppendPrintfDecimal(std::string& out, std::int32_t value) {
    char buffer[16];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    out.append(buffer, result.ptr);
}

}  // namespace nivra

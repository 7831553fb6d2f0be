#include "import/DataFileName.h"

#include <algorithm>
#include <climits>
#include <ctime>

namespace nivra {
namespace {

std::size_t FileNameStart(const std::string& path) {
    const std::size_t separator = path.find_last_of("\\/:");
    return separator == std::string::npos ? 0 : separator + 1;
}

// Splits `rest` at its last underscore: returns the text after it and keeps the text before
// it in `rest`; without an underscore the whole text is returned and `rest` becomes empty.
std::string SplitOffLastPart(std::string& rest) {
    const std::size_t underscore = rest.rfind('_');
    std::string last;
    if (underscore == std::string::npos) {
        last.swap(rest);
    } else {
        last = rest.substr(underscore + 1);
        rest.erase(underscore);
    }
    return last;
}

// atoi-like: leading blanks and a sign are allowed, no digits give 0; clamped to int.
int LeadingInteger(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
    const bool negative = i < text.size() && text[i] == '-';
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) ++i;
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = std::min(value * 10 + (text[i] - '0'), static_cast<long long>(INT_MAX) + 1);
    }
    value = negative ? -value : value;
    return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

std::string Part(const std::string& text, std::size_t from, std::size_t length) {
    return from < text.size() ? text.substr(from, length) : std::string();
}

}  // namespace

DataFileName ParseDataFileName(const std::string& dataPath) {
    DataFileName result;
    const std::size_t underscore = dataPath.find('_', FileNameStart(dataPath));
    if (underscore == std::string::npos || underscore == 0) return result;

    std::string rest = dataPath.substr(underscore + 1);
    rest.erase(rest.size() - std::min<std::size_t>(4, rest.size()));  // the extension
    std::string date = SplitOffLastPart(rest);
    if (date.size() != 6) date = SplitOffLastPart(rest);
    std::replace(rest.begin(), rest.end(), '_', ' ');
    result.fieldName = std::move(rest);
    result.dateText = std::move(date);
    return result;
}

double DateValue(const std::string& dateText) {
    const int yy = LeadingInteger(Part(dateText, 0, 2));
    const int mm = LeadingInteger(Part(dateText, 2, 2));
    const int dd = LeadingInteger(Part(dateText, 4, std::string::npos));
    std::tm local{};
    local.tm_year = (yy < 70 ? 2000 + yy : 1900 + yy) - 1900;
    local.tm_mon = mm - 1;
    local.tm_mday = dd;
    local.tm_isdst = -1;
    return static_cast<double>(std::mktime(&local));
}

}  // namespace nivra

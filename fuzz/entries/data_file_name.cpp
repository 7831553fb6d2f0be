// The data file's name and day: ParseDataFileName on the input as a path, on a name built
// the terminal's way from the input, and DateValue on the date texts, against a calendar of
// our own (in UTC, where mktime is exact).
#include <algorithm>
#include <climits>
#include <cstdlib>
#include <ctime>
#include <string>

#include "FuzzCheck.h"
#include "FuzzEntries.h"
#include "import/DataFileName.h"

namespace nivrafuzz {
namespace {

constexpr const char* kFolderEnds = "\\/:";

// Days from 1970-01-01 to a day of the proleptic Gregorian calendar (month 1 to 12).
long long DaysFromCivil(long long year, int month, int day) {
    year -= month <= 2;
    const long long era = (year >= 0 ? year : year - 399) / 400;
    const long long yearOfEra = year - era * 400;
    const long long dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const long long dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

// atoi of a part of the text, as strtol reads it, clamped to int.
long long PartNumber(const std::string& text, std::size_t from, std::size_t length) {
    if (from >= text.size()) return 0;
    const std::string part = text.substr(from, length);
    return std::clamp<long long>(std::strtoll(part.c_str(), nullptr, 10), INT_MIN, INT_MAX);
}

// Midnight UTC of YYMMDD, parts out of range carried into the next larger part.
double ExpectedDate(const std::string& dateText) {
    const long long yy = PartNumber(dateText, 0, 2), mm = PartNumber(dateText, 2, 2),
                    dd = PartNumber(dateText, 4, std::string::npos);
    long long year = yy < 70 ? 2000 + yy : 1900 + yy;
    long long month0 = mm - 1;
    year += month0 >= 0 ? month0 / 12 : -((11 - month0) / 12);
    month0 -= (month0 >= 0 ? month0 / 12 : -((11 - month0) / 12)) * 12;
    const long long days = DaysFromCivil(year, static_cast<int>(month0) + 1, 1) + dd - 1;
    return static_cast<double>(days * 86400);
}

void CheckDate(const std::string& dateText) {
    const double value = nivra::DateValue(dateText);
    Check(value == ExpectedDate(dateText), "DateValue gives midnight of the day", dateText);
}

// What any path gives: texts from the file name alone, the field without underscores, the
// date without underscores.
void CheckAnyPath(const std::string& path) {
    const nivra::DataFileName name = nivra::ParseDataFileName(path);
    const std::size_t start = path.find_last_of(kFolderEnds);
    const std::string fileName = start == std::string::npos ? path : path.substr(start + 1);
    Check(name.fieldName.find_first_of(kFolderEnds) == std::string::npos &&
              name.dateText.find_first_of(kFolderEnds) == std::string::npos,
          "the names come from the file name alone");
    Check(name.fieldName.find('_') == std::string::npos, "the field name has spaces for underscores");
    Check(name.dateText.find('_') == std::string::npos, "the date text is one part of the name");
    Check(name.fieldName.size() + name.dateText.size() <= fileName.size(), "the names are parts of the file name");
    if (fileName.find('_') == std::string::npos)
        Check(name.fieldName.empty() && name.dateText.empty(), "a file name without an underscore gives no names");
    CheckDate(name.dateText);
}

// "<folder>\Log_<field>_<YYMMDD>.csv" gives the field (underscores as spaces) and the date.
void CheckTerminalName(const std::string& text) {
    std::string date = text.substr(0, 6), field = text.size() > 6 ? text.substr(6) : std::string();
    for (char& c : date)
        if (c == '_' || std::string(kFolderEnds).find(c) != std::string::npos) c = '0';
    date.resize(6, '1');
    field.erase(std::remove_if(field.begin(), field.end(),
                               [](char c) { return std::string(kFolderEnds).find(c) != std::string::npos; }),
                field.end());
    const nivra::DataFileName name = nivra::ParseDataFileName("C:\\Terminal_1\\Log_" + field + "_" + date + ".csv");
    std::replace(field.begin(), field.end(), '_', ' ');
    Check(name.fieldName == field && name.dateText == date, "a terminal's file name gives its field and date");
}

}  // namespace

void DataFileNameOne(const std::uint8_t* data, std::size_t size) {
    // Only UTC turns every day into an exact midnight to compare with.
    static const bool utc = [] {
        setenv("TZ", "UTC", 1);
        tzset();
        return true;
    }();
    (void)utc;
    const std::string text(reinterpret_cast<const char*>(data), size);
    CheckAnyPath(text);
    CheckTerminalName(text);
    CheckDate(text);
}

}  // namespace nivrafuzz

// The field name and date taken from a data file's name, and the date as local midnight.
#include "import/DataFileName.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <ctime>
#include <string>

namespace nivra {
namespace {

struct NameCase {
    const char* path;
    const char* fieldName;
    const char* dateText;
};

TEST(DataFileName, TakesFieldNameAndDateFromTheFileName) {
    const NameCase cases[] = {
        {"C:\\logs\\Log_North_Field_080315.csv", "North Field", "080315"},
        {"Log_North_080315_2.csv", "North", "080315"},
        {"C:\\logs\\Log_080315.csv", "", "080315"},
        {"C:\\logs\\Log_A_B_C_1.csv", "A B", "C"},  // no six-character date anywhere
        {"C:\\logs\\North.csv", "", ""},
        {"C:\\logs\\_North_080315.csv", "North", "080315"},
        {"_North_080315.csv", "", ""},  // an underscore first in the path
        {"x_a.b", "", ""},
        {"", "", ""},
        // An underscore in a folder name must not move the split into the folder part.
        {"C:\\terminal_data\\Log_North_080315.csv", "North", "080315"},
        {"C:\\terminal_data\\North.csv", "", ""},
        {"/home/user/terminal_data/Log_South_Field_991231.csv", "South Field", "991231"},
        {"D:Log_East_080315.csv", "East", "080315"},
    };
    for (const NameCase& c : cases) {
        const DataFileName parsed = ParseDataFileName(c.path);
        EXPECT_EQ(parsed.fieldName, c.fieldName) << "path '" << c.path << "'";
        EXPECT_EQ(parsed.dateText, c.dateText) << "path '" << c.path << "'";
    }
}

// Runs the tests of one time zone and puts the process's zone back afterwards.
class LocalZone {
public:
    explicit LocalZone(const char* zone) {
        const char* old = std::getenv("TZ");
        hadZone_ = old != nullptr;
        if (hadZone_) old_ = old;
        setenv("TZ", zone, 1);
        tzset();
    }
    ~LocalZone() {
        if (hadZone_) {
            setenv("TZ", old_.c_str(), 1);
        } else {
            unsetenv("TZ");
        }
        tzset();
    }

private:
    bool hadZone_ = false;
    std::string old_;
};

struct DateCase {
    const char* zone;
    const char* dateText;
    double seconds;  // expected UTC seconds, worked out independently of mktime
};

TEST(DataFileName, DateValueIsLocalMidnightNormalisedLikeMktime) {
    const DateCase cases[] = {
        {"Europe/Berlin", "080315", 1205535600.0},  // 15 Mar 2008 00:00 CET
        {"Europe/Berlin", "991231", 946594800.0},   // 31 Dec 1999
        {"Europe/Berlin", "690101", 3124220400.0},  // 1 Jan 2069
        {"Europe/Berlin", "", 943916400.0},         // 30 Nov 1999: year 00, month 0, day 0
        {"Europe/Berlin", "080715", 1216072800.0},  // summer time: 00:00 CEST
        {"Europe/Berlin", "080330", 1206831600.0},  // summer time starts later that night
        {"Europe/Berlin", "080331", 1206914400.0}, {"Europe/Berlin", "080300", 1204239600.0},  // day 0: 29 Feb 2008
        {"Europe/Berlin", "080001", 1196463600.0},                                             // month 0: December 2007
        {"Europe/Berlin", "0803x5", 1204239600.0},                                             // no digits: day 0
        {"UTC", "080315", 1205539200.0},
    };
    for (const DateCase& c : cases) {
        LocalZone zone(c.zone);
        EXPECT_EQ(DateValue(c.dateText), c.seconds) << c.zone << " '" << c.dateText << "'";
    }
}

}  // namespace
}  // namespace nivra

// The field name and the day of an import, taken from the data file's own name, as in
// "Log_North_Field_080315.csv" (field "North Field", date text "080315").
#pragma once
#include <string>

namespace nivra {

struct DataFileName {
    std::string fieldName;  // empty when the name gives none
    std::string dateText;   // normally six digits YYMMDD
};

// Only the file name is searched for the first underscore, so an underscore in a folder
// name cannot move the split into the folder part. Folders end at '\\', '/' or ':'.
DataFileName ParseDataFileName(const std::string& dataPath);

// Local midnight of the day in `dateText` (YYMMDD; YY < 70 is 20YY, else 19YY), as seconds
// since 1970-01-01 00:00 UTC. Parts out of range are normalised as mktime does (day 0 is the
// last day of the month before, month 0 December of the year before), so an empty text gives
// 30 November 1999. Daylight saving is decided by the system for that date. A date that
// mktime cannot represent gives -1.
double DateValue(const std::string& dateText);

}  // namespace nivra

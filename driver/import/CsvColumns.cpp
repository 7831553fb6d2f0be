#include "import/CsvColumns.h"

#include <string>

#include "text/TParser.h"

namespace nivra {
namespace {

// In the order of CsvColumn.
constexpr const char* kHeaderTexts[kCsvColumnCount] = {
    "Long",     "Lat",      "Alt",      "BI",       "N",           "Nas", "ApplFactor",
    "Marker 1", "Marker 2", "Marker 3", "Marker 4", "Calibration", "Nc",
};

void ReadDouble(const TParser& parser, const CsvColumns& columns, CsvColumn column, double& value) {
    parser.GetDouble(columns[column], value);
}

void ReadLong(const TParser& parser, const CsvColumns& columns, CsvColumn column, std::int32_t& value) {
    parser.GetLong(columns[column], value);
}

}  // namespace

CsvColumns MapCsvColumns(const char* headerLine) {
    TParser parser(',');
    parser.Parse(headerLine, -1);
    CsvColumns columns;
    for (std::int32_t i = 1; i <= parser.Count(); ++i) {
        const std::string text = parser.GetText(i);
        for (std::size_t c = 0; c < kCsvColumnCount; ++c) {
            if (text == kHeaderTexts[c]) {
                columns.position[c] = i;
                break;
            }
        }
    }
    return columns;
}

void ReadRowValues(TParser& parser, const char* line, const CsvColumns& columns, RowValues& row) {
    parser.Parse(line, -1);
    ReadDouble(parser, columns, CsvColumn::Longitude, row.longitude);
    ReadDouble(parser, columns, CsvColumn::Latitude, row.latitude);
    ReadDouble(parser, columns, CsvColumn::Altitude, row.altitude);
    ReadDouble(parser, columns, CsvColumn::BiomassIndex, row.biomassIndex);
    ReadDouble(parser, columns, CsvColumn::NTarget, row.nTarget);
    ReadDouble(parser, columns, CsvColumn::NApplied, row.nApplied);
    ReadDouble(parser, columns, CsvColumn::ApplFactor, row.applFactor);
    ReadLong(parser, columns, CsvColumn::Marker1, row.marker[0]);
    ReadLong(parser, columns, CsvColumn::Marker2, row.marker[1]);
    ReadLong(parser, columns, CsvColumn::Marker3, row.marker[2]);
    ReadLong(parser, columns, CsvColumn::Marker4, row.marker[3]);
    ReadLong(parser, columns, CsvColumn::Calibration, row.calibration);
    ReadDouble(parser, columns, CsvColumn::NContent, row.nContent);
    row.rate = ProductRate(row);
}

double ProductRate(const RowValues& row) { return row.nContent > 0.0 ? row.nApplied * 100.0 / row.nContent : 0.0; }

bool IsWithinCoordinateLimits(const RowValues& row) {
    return row.latitude > -90.0 && row.latitude < 90.0 && row.longitude >= -180.0 && row.longitude <= 180.0;
}

}  // namespace nivra

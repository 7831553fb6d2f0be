// The log CSV's column map, the values of a row, the product rate and the coordinate limits.
#include "import/CsvColumns.h"

#include <gtest/gtest.h>

#include "text/TParser.h"

namespace nivra {
namespace {

constexpr const char* kFullHeader =
    "Long,Lat,Alt,BI,N,Nas,ApplFactor,Marker 1,Marker 2,Marker 3,Marker 4,Calibration,Nc";

TEST(CsvColumns, MapsEveryKnownHeaderTextToItsPosition) {
    const CsvColumns columns = MapCsvColumns(kFullHeader);
    for (std::size_t c = 0; c < kCsvColumnCount; ++c) {
        EXPECT_EQ(columns.position[c], static_cast<std::int32_t>(c + 1)) << "column " << c;
    }
}

struct HeaderCase {
    const char* header;
    std::int32_t longitude;
    std::int32_t latitude;
    std::int32_t nContent;
};

TEST(CsvColumns, MatchesHeaderTextsExactlyAndKeepsTheLastOfTwins) {
    const HeaderCase cases[] = {
        {"Lat,Long", 2, 1, 0},
        {"lat,long", 0, 0, 0},
        {"Long ,Lat", 0, 2, 0},     // trailing blank: no match
        {"  Long,  Lat", 1, 2, 0},  // leading blanks are not part of a field
        {"\"Long\",\"Lat\",\"Nc\"", 1, 2, 3},
        {"Long,X,Long,Nc\r\n", 3, 0, 4},
        {"", 0, 0, 0},
    };
    for (const HeaderCase& c : cases) {
        const CsvColumns columns = MapCsvColumns(c.header);
        EXPECT_EQ(columns[CsvColumn::Longitude], c.longitude) << "header '" << c.header << "'";
        EXPECT_EQ(columns[CsvColumn::Latitude], c.latitude) << "header '" << c.header << "'";
        EXPECT_EQ(columns[CsvColumn::NContent], c.nContent) << "header '" << c.header << "'";
    }
}

TEST(CsvColumns, ReadsEveryValueOfARowFromItsMappedColumn) {
    // Columns in another order than the converter writes them.
    const CsvColumns columns =
        MapCsvColumns("Nc,Calibration,Marker 4,Marker 3,Marker 2,Marker 1,ApplFactor,Nas,N,BI,Alt,Lat,Long");
    TParser parser(',');
    RowValues row;
    ReadRowValues(parser, "25,1,0,2,3,4,0.95,50,60,3.5,120.5,50.25,8.125", columns, row);
    EXPECT_EQ(row.longitude, 8.125);
    EXPECT_EQ(row.latitude, 50.25);
    EXPECT_EQ(row.altitude, 120.5);
    EXPECT_EQ(row.biomassIndex, 3.5);
    EXPECT_EQ(row.nTarget, 60.0);
    EXPECT_EQ(row.nApplied, 50.0);
    EXPECT_EQ(row.applFactor, 0.95);
    EXPECT_EQ(row.marker, (std::array<std::int32_t, 4>{4, 3, 2, 0}));
    EXPECT_EQ(row.calibration, 1);
    EXPECT_EQ(row.nContent, 25.0);
    EXPECT_EQ(row.rate, 200.0);
}

TEST(CsvColumns, MissingEmptyAndUnreadableCellsKeepTheValueOfTheRowBefore) {
    const CsvColumns columns = MapCsvColumns(kFullHeader);
    TParser parser(',');
    RowValues row;
    ReadRowValues(parser, "8.1,50.2,120,1.5,60,40,1.1,0,3,0,0,0,20", columns, row);
    ReadRowValues(parser, "8.2,50.3", columns, row);  // no third field at all
    EXPECT_EQ(row.longitude, 8.2);
    EXPECT_EQ(row.altitude, 120.0);
    EXPECT_EQ(row.marker[1], 3);
    EXPECT_EQ(row.rate, 200.0);

    ReadRowValues(parser, "", columns, row);  // an empty line changes nothing
    EXPECT_EQ(row.longitude, 8.2);
    EXPECT_EQ(row.latitude, 50.3);

    ReadRowValues(parser, "x,,121,,,,,,,,,,", columns, row);
    EXPECT_EQ(row.longitude, 8.2);
    EXPECT_EQ(row.latitude, 50.3);
    EXPECT_EQ(row.altitude, 121.0);
    EXPECT_EQ(row.marker[1], 3);
}

TEST(CsvColumns, ALineLongerThan511CharactersIsOneRow) {
    const CsvColumns columns = MapCsvColumns(kFullHeader);
    TParser parser(',');
    RowValues row;
    std::string line = "8.1,50.2,120,1.5,60,40,1.1,0,0,0,0,0,20";
    line += std::string(600, ',') + "7,9";
    ReadRowValues(parser, line.c_str(), columns, row);
    EXPECT_EQ(parser.Count(), 614);
    EXPECT_EQ(row.longitude, 8.1);
    EXPECT_EQ(row.nContent, 20.0);
}

TEST(CsvColumns, ProductRateNeedsAPositiveNContent) {
    RowValues row;
    row.nApplied = 30.0;
    row.nContent = 0.0;
    EXPECT_EQ(ProductRate(row), 0.0);
    row.nContent = -5.0;
    EXPECT_EQ(ProductRate(row), 0.0);
    row.nContent = 12.0;
    EXPECT_EQ(ProductRate(row), 250.0);

    const CsvColumns withoutNc = MapCsvColumns("Long,Lat,Nas");
    TParser parser(',');
    RowValues read;
    ReadRowValues(parser, "8,50,30", withoutNc, read);
    EXPECT_EQ(read.rate, 0.0);
}

TEST(CsvColumns, CoordinateLimitsExcludeThePolesButIncludeTheDateLine) {
    struct Case {
        double longitude, latitude;
        bool within;
    };
    const Case cases[] = {
        {8.0, 50.0, true},  {8.0, 90.0, false},  {8.0, -90.0, false},    {8.0, 89.999, true},
        {180.0, 0.0, true}, {-180.0, 0.0, true}, {180.0001, 0.0, false}, {-180.0001, 0.0, false},
    };
    for (const Case& c : cases) {
        RowValues row;
        row.longitude = c.longitude;
        row.latitude = c.latitude;
        EXPECT_EQ(IsWithinCoordinateLimits(row), c.within) << c.longitude << ", " << c.latitude;
    }
}

}  // namespace
}  // namespace nivra

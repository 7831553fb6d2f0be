#include <gtest/gtest.h>

#include "ConvertFixture.h"

using logwriter::LegacyLogWriter;
using Lines = std::vector<std::string>;
using W = LegacyLogWriter;

namespace {

const std::int32_t kLat = 515000000, kLon = 75000000;

// One message group: slot 0 opens it, then the other slots and a position.
LegacyLogWriter& Group(LegacyLogWriter& log, std::uint32_t w0, std::uint32_t w1, std::uint32_t w2,
                       bool withPosition = true, std::uint8_t alt = 42) {
    log.Value(0, w0).Value(1, w1).Value(2, w2);
    if (withPosition) log.Position(alt, kLat, kLon);
    return log;
}

}  // namespace

TEST(LegacyConversion, RowsAreWrittenWhenTheNextGroupStarts) {
    LegacyLogWriter log;
    Group(log, W::Type1Word0(60, 0x96), W::Type1Word1(100, 20, 3), 0);
    Group(log, W::Type8Word0(2), W::Bytes4(40, 42, 10, 12), W::Bytes4(20, 24, 0, 0));
    Group(log, W::Type1Word0(10, 0), W::Type1Word1(0, 0, 0), 0);  // the last group is never written
    auto c = ConvertBytes(log.Data());
    EXPECT_EQ(c.result, 0);
    EXPECT_EQ(DataLines(c.csv),
              (Lines{"7.5000000,51.5000000,42,10.00,120,40,30,,,,,,", "7.5000000,51.5000000,42,2.20,82,22,20,,,,,,"}));
}

TEST(LegacyConversion, MissingValuesAndCalibration) {
    LegacyLogWriter log;
    Group(log, 0x96FE0001, W::Type1Word1(255, 255, 0), 0);  // n = 254: calibration; BI, Nas missing
    Group(log, W::Type8Word0(0), W::Bytes4(254, 1, 255, 3), W::Bytes4(255, 4, 0, 0));
    Group(log, W::Type8Word0(0), W::Bytes4(255, 1, 1, 1), W::Bytes4(2, 4, 0, 0));
    log.Value(0, 0);
    auto c = ConvertBytes(log.Data());
    EXPECT_EQ(DataLines(c.csv), (Lines{"7.5000000,51.5000000,42,,,,0,,,,,1,", "7.5000000,51.5000000,42,,,,0,,,,,1,",
                                       "7.5000000,51.5000000,42,0.30,,2,0,,,,,,"}));
}

TEST(LegacyConversion, NcAndMarkersCarryIntoLaterRows) {
    LegacyLogWriter log;
    Group(log, W::Type3Word0(25), 0, 0);    // Nc 12.5 from now on
    Group(log, W::Type7Word0(0x05), 0, 0);  // markers 1 and 3 from now on
    Group(log, W::Type1Word0(1, 0), W::Type1Word1(50, 1, 0), 0);
    Group(log, W::Type7Word0(0x02), 0, 0, false);  // no position: markers unchanged
    Group(log, W::Type3Word0(9), 0, 0);            // Nc 4.5
    Group(log, W::Type1Word0(1, 0), W::Type1Word1(50, 1, 0), 0);
    log.Value(0, 0);
    auto c = ConvertBytes(log.Data());
    EXPECT_EQ(DataLines(c.csv), (Lines{"7.5000000,51.5000000,42,0.00,2,2,0,1,,1,,,12.5",
                                       "7.5000000,51.5000000,42,0.00,2,2,0,1,,1,,, 4.5"}));
}

TEST(LegacyConversion, ChecksAndTheOddEndsOfTheItemStream) {
    LegacyLogWriter noPosition;
    Group(noPosition, W::Type1Word0(1, 0), 0, 0, false);
    noPosition.Value(0, 0);
    EXPECT_EQ(ConvertBytes(noPosition.Data()).csv, kHeaderLine);

    LegacyLogWriter positionsFirst;  // positions before the first slot 0 tag are dropped
    positionsFirst.Position(1, kLat, kLon);
    Group(positionsFirst, W::Type1Word0(1, 0), 0, 0, false).Value(0, 0);
    EXPECT_EQ(ConvertBytes(positionsFirst.Data()).csv, kHeaderLine);

    LegacyLogWriter endAtOnce;
    endAtOnce.EndMarker();
    Group(endAtOnce, W::Type1Word0(1, 0), 0, 0).Value(0, 0);
    EXPECT_EQ(ConvertBytes(endAtOnce.Data()).csv, kHeaderLine);

    LegacyLogWriter cut;
    Group(cut, W::Type1Word0(1, 0), W::Type1Word1(50, 1, 0), 0);
    cut.Value(0, W::Type1Word0(1, 0)).Raw({0x01, 0x02, 0x03});  // ends 3 bytes into a position item
    auto c = ConvertBytes(cut.Data());
    EXPECT_EQ(c.result, 0);
    EXPECT_EQ(DataLines(c.csv).size(), 1u);

    LegacyLogWriter checked;
    Group(checked, W::Type1Word0(1, 0), W::Type1Word1(50, 1, 0), 0);
    checked.Value(0, 0);
    EXPECT_EQ(DataLines(ConvertBytes(checked.Data(), kFalse, kFalse).csv).size(), 1u);

    EXPECT_EQ(ConvertBytes(logwriter::Bytes(515, 0)).csv, kHeaderLine);
    EXPECT_EQ(ConvertBytes({}).csv, kHeaderLine);
}

TEST(LegacyConversion, EmptySlotsDecodeAsTheirBitPattern) {
    // Slot 1 holds no value in the group: 0xFFFFD8F1 gives BI byte 0xF1, Nas byte 0xD8.
    LegacyLogWriter log;
    log.Value(0, W::Type1Word0(3, 100)).Position(7, kLat, kLon).Value(0, 0);
    auto c = ConvertBytes(log.Data());
    EXPECT_EQ(DataLines(c.csv), (Lines{"7.5000000,51.5000000,7,38.20,6,432,310,,,,,,"}));
}

TEST(LegacyConversion, ASlotZeroTagCutShortStillEndsTheGroup) {
    LegacyLogWriter log;
    Group(log, W::Type1Word0(1, 0), W::Type1Word1(50, 1, 0), 0);
    log.Raw({0x08, 0xFF, 0x28, 0xB0, 0x01});  // slot 0 tag with 1 of its 4 value bytes
    EXPECT_EQ(DataLines(ConvertBytes(log.Data()).csv), (Lines{"7.5000000,51.5000000,42,0.00,2,2,0,,,,,,"}));
}

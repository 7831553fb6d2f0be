#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "ConvertFixture.h"

using logwriter::BinaryLogWriter;
using Lines = std::vector<std::string>;

namespace {

const std::int32_t kLat = 515000000, kLon = 75000000;

}  // namespace

TEST(BinaryConversion, HeaderOnlyGivesAnEmptyRowOnlyWhenBothChecksAreSkipped) {
    auto both = ConvertBytes(BinaryLogWriter().Data());
    EXPECT_EQ(both.result, 0);
    EXPECT_EQ(both.csv, kHeaderLine + "\r\n");
    auto checked = ConvertBytes(BinaryLogWriter().Data(), kFalse, kTrue);
    EXPECT_EQ(checked.result, 0);
    EXPECT_EQ(checked.csv, kHeaderLine);
}

TEST(BinaryConversion, OneRowPerPositionWithTheRecordsThatFollowIt) {
    auto log = BinaryLogWriter()
                   .Position(kLat, kLon, 1234)
                   .Reading(25.0f, 120.0f, 3)
                   .Position(515000100, 75000200, 1235)
                   .Data();
    auto c = ConvertBytes(log);
    EXPECT_EQ(c.result, 0);
    EXPECT_EQ(DataLines(c.csv),
              (Lines{"7.5000000,51.5000000,123,2.50,120,,3,,,,,,", "7.5000200,51.5000100,124,,,,,,,,,,"}));
}

TEST(BinaryConversion, ColumnsFollowTheirRecords) {
    auto log = BinaryLogWriter()
                   .Nc(525)                   // before the first position: feeds the first row
                   .Position(kLat, kLon, -5)  // altitude -0.5 prints as -1 (half away from zero)
                   .Reading(25.0f, -1.0f, 3)  // N = -1: calibration
                   .Markers(0x05)
                   .NasInteger(10000)  // above 9999: empty
                   .Position(kLat, kLon, 0)
                   .NasInteger(-20000)
                   .Reading(std::numeric_limits<float>::quiet_NaN(), 9999.5f, 255)
                   .Position(kLat, kLon, 0)
                   .NasSingle(55.5f)
                   .Nc(130)
                   .Data();
    auto c = ConvertBytes(log);
    EXPECT_EQ(c.result, 0);
    EXPECT_EQ(DataLines(c.csv),
              (Lines{"7.5000000,51.5000000,-1,2.50,,,3,1,,1,,1, 5.3", "7.5000000,51.5000000,0,,,-20000,255,,,,,, 5.3",
                     "7.5000000,51.5000000,0,,,56,,,,,,, 1.3"}));
}

TEST(BinaryConversion, IncompleteRowsCarryTheirValuesIntoTheNextRow) {
    auto log = BinaryLogWriter()
                   .Position(0, kLon, 100)  // latitude exactly 0: rejected by the position check
                   .Reading(30.0f, 80.0f, 2)
                   .Position(kLat, kLon, 100)  // the row above is not written and not cleared
                   .Position(kLat, kLon, 110)  // no reading since: still carries 30 / 80 / 2
                   .Data();
    auto c = ConvertBytes(log, kFalse, kFalse);
    // The last row has no reading, so the reading check keeps it out.
    EXPECT_EQ(DataLines(c.csv), (Lines{"7.5000000,51.5000000,10,3.00,80,,2,,,,,,"}));
    auto noCheck = ConvertBytes(log, kTrue, kTrue);
    EXPECT_EQ(DataLines(noCheck.csv).size(), 3u);
}

TEST(BinaryConversion, ReadingCheckNeedsANonNegativeReading) {
    auto log = BinaryLogWriter()
                   .Position(kLat, kLon, 0)
                   .Reading(-0.5f, 10.0f, 1)
                   .Position(kLat, kLon, 0)
                   .Reading(0.0f, 10.0f, 1)
                   .Data();
    auto c = ConvertBytes(log, kTrue, kFalse);
    EXPECT_EQ(DataLines(c.csv), (Lines{"7.5000000,51.5000000,0,0.00,10,,1,,,,,,"}));
}

TEST(BinaryConversion, WrongLengthRecordsApplyTheirZeroValues) {
    auto log = BinaryLogWriter()
                   .Position(kLat, kLon, 10)
                   .RecordWithLength(0x0050, 4, logwriter::Bytes(4, 0x41))
                   .RecordWithLength(0x0000, 2, logwriter::Bytes(2, 0x41))  // position 0,0,0
                   .Position(kLat, kLon, 20)
                   .Data();
    auto c = ConvertBytes(log, kFalse, kTrue);
    EXPECT_EQ(c.result, 0);
    // The 0,0 position is rejected, so the row of the second real position carries BI 0 etc.
    EXPECT_EQ(DataLines(c.csv), (Lines{"7.5000000,51.5000000,1,0.00,0,,0,,,,,,", "7.5000000,51.5000000,2,,,,,,,,,,"}));
}

TEST(BinaryConversion, SignatureIsRecognisedWithoutRegardToCase) {
    logwriter::BinaryHeader lower;
    lower.signature = "rnslogfile v1.00";
    auto c = ConvertBytes(BinaryLogWriter(lower).Position(kLat, kLon, 0).Data());
    EXPECT_EQ(DataLines(c.csv), (Lines{"7.5000000,51.5000000,0,,,,,,,,,,"}));

    logwriter::BinaryHeader other;
    other.signature = "RNSLOGFILE V1.01";  // not binary: read as the older format, which finds no rows
    auto legacy = ConvertBytes(BinaryLogWriter(other).Position(kLat, kLon, 0).Data());
    EXPECT_EQ(legacy.result, 0);
    EXPECT_EQ(legacy.csv, kHeaderLine);
}

TEST(BinaryConversion, ShortFileWithTheSignatureIsALogWithoutRecords) {
    auto whole = BinaryLogWriter().Data();
    logwriter::Bytes bytes(whole.begin(), whole.begin() + 100);
    auto c = ConvertBytes(bytes);
    EXPECT_EQ(c.result, 0);
    EXPECT_EQ(c.csv, kHeaderLine + "\r\n");
}

TEST(BinaryConversion, DataEndingInsideARecordKeepsTheLinesBeforeAndFails) {
    auto full = BinaryLogWriter().Position(kLat, kLon, 1).Reading(25, 100, 1).Position(kLat, kLon, 2).Data();
    auto cut = full;
    cut.push_back(0x50);
    cut.push_back(0x00);  // two bytes into the next record prefix
    auto c = ConvertBytes(cut);
    EXPECT_EQ(c.result, -1);
    EXPECT_EQ(DataLines(c.csv), (Lines{"7.5000000,51.5000000,0,2.50,100,,1,,,,,,"}));
}

TEST(BinaryConversion, UnknownAndSkippedRecordsChangeNothing) {
    auto plain = BinaryLogWriter().Position(kLat, kLon, 1).Reading(25, 100, 1).Position(kLat, kLon, 2).Data();
    auto noisy = BinaryLogWriter()
                     .Record(0x0201, logwriter::Bytes(204, 0xFF))
                     .Position(kLat, kLon, 1)
                     .Record(0x0203, logwriter::Bytes(7, 0xFF))
                     .Record(-32768, logwriter::Bytes(3, 0xFF))
                     .Reading(25, 100, 1)
                     .Record(0x0231, logwriter::Bytes(32, 0x41))
                     .Record(0x0011, logwriter::Bytes(12, 0x7F))
                     .Position(kLat, kLon, 2)
                     .Record(0x0252, logwriter::Bytes(412, 0))
                     .Data();
    EXPECT_EQ(ConvertBytes(noisy).csv, ConvertBytes(plain).csv);
}

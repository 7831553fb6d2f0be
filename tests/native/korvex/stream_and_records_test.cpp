#include <gtest/gtest.h>

#include "BinaryStream.h"
#include "KorvexError.h"
#include "WinLogRecord.h"
#include "logwriter/LogWriters.h"

using namespace korvex;
using logwriter::Bytes;

namespace {

TBinaryStream StreamOf(const Bytes& bytes, std::int32_t byteOrder = 1) {
    FileImage image;
    image.bytes.reset(new std::uint8_t[bytes.size() + 1]);
    std::copy(bytes.begin(), bytes.end(), image.bytes.get());
    image.size = static_cast<std::int64_t>(bytes.size());
    return TBinaryStream(std::move(image), byteOrder);
}

std::string ErrorOf(const std::function<void()>& read) {
    try {
        read();
    } catch (const KorvexError& e) {
        return e.what();
    }
    return "no error";
}

}  // namespace

TEST(BinaryStream, ComposesValuesInEitherByteOrder) {
    EXPECT_EQ(StreamOf({0x00, 0x80}).ReadSmallInt(), -32768);
    EXPECT_EQ(StreamOf({0x00, 0x80}).ReadWord(), 32768);
    EXPECT_EQ(StreamOf({0xFF, 0xFF, 0xFF, 0xFF}).ReadInteger(), -1);
    EXPECT_EQ(StreamOf({0x00, 0x00, 0x80, 0x3F}).ReadSingle(), 1.0);
    EXPECT_EQ(StreamOf({0x12, 0x34}, 0).ReadWord(), 4660);
    EXPECT_EQ(StreamOf({0x12, 0x34}, 7).ReadWord(), 4660);
    EXPECT_EQ(StreamOf({1, 2, 3, 4, 5, 6, 7, 8}).ReadValue(8), 0x0807060504030201ull);
}

TEST(BinaryStream, ReadsPastTheEndFailWithTheirMessages) {
    auto empty = StreamOf({});
    EXPECT_TRUE(empty.Eof());
    EXPECT_EQ(ErrorOf([&] { empty.ReadByte(); }), "cannot read 1 bytes from input stream");
    EXPECT_EQ(ErrorOf([&] { empty.ReadRawByte(); }), "No more data available");

    auto oneLeft = StreamOf({0x42});
    EXPECT_EQ(ErrorOf([&] { oneLeft.ReadWord(); }), "cannot read 2 bytes from input stream");
    EXPECT_TRUE(oneLeft.Eof());

    auto shortText = StreamOf({'A', 'B'});
    std::string text;
    EXPECT_EQ(ErrorOf([&] { shortText.ReadString(16, text); }), "No more data available");
}

TEST(BinaryStream, TextFieldsStopAtTheFirstZeroButConsumeTheirWidth) {
    Bytes bytes;
    logwriter::PutText(bytes, "RNSLOGFILE V1.00", 16);
    logwriter::PutText(bytes, "AB", 16);
    bytes[16 + 3] = 'Z';  // after the zero byte: not part of the text
    auto stream = StreamOf(bytes);
    std::string text;
    stream.ReadString(16, text);
    EXPECT_EQ(text, "RNSLOGFILE V1.00");
    stream.ReadString(16, text);
    EXPECT_EQ(text, "AB");
    EXPECT_TRUE(stream.Eof());
}

TEST(BinaryStream, SkipPastTheEndIsNoError) {
    auto stream = StreamOf({1, 2, 3});
    stream.Skip(40000);
    EXPECT_TRUE(stream.Eof());
    EXPECT_EQ(ErrorOf([&] { stream.ReadByte(); }), "cannot read 1 bytes from input stream");
}

TEST(Records, WrongLengthSkipsThePayloadAndLeavesZeroFields) {
    Bytes payload(20, 0x7F);
    payload.push_back(0xAA);  // the next byte after the 20 skipped ones
    auto stream = StreamOf(payload);
    TRecordFactory factory;
    auto& record = static_cast<LR0000&>(factory.CreateRecord(0x0000, 20));
    record.Read(stream, 20);
    EXPECT_EQ(record.Latitude, 0);
    EXPECT_EQ(record.Longitude, 0);
    EXPECT_EQ(record.Altitude, 0);
    EXPECT_EQ(stream.ReadByte(), 0xAA);
}

TEST(Records, FactoryPicksTheClassOfTheType) {
    TRecordFactory factory;
    struct Case {
        std::int16_t type;
        std::uint16_t length;
        std::int16_t id;
        std::uint16_t expectedLength;
    } cases[] = {
        {0x0000, 24, 0x0000, 24}, {0x0011, 12, 0x0011, 12}, {0x0030, 32, 0x0030, 32},       {0x0031, 48, 0x0031, 48},
        {0x0040, 8, 0x0040, 8},   {0x0080, 16, 0x0080, 16}, {0x0202, 204, 0x0202, 204},     {0x0211, 102, 0x0211, 102},
        {0x0222, 16, 0x0222, 16}, {0x0231, 32, 0x0231, 32}, {0x0241, 224, 0x0241, 224},     {0x0252, 412, 0x0252, 412},
        {0x0203, 7, 0x00FF, 7},   {-32768, 9, 0x00FF, 9},   {0x0010, 40000, 0x00FF, 40000},
    };
    for (const auto& c : cases) {
        TLogRecord& record = factory.CreateRecord(c.type, c.length);
        EXPECT_EQ(record.Id, c.id) << "type " << c.type;
        EXPECT_EQ(record.ExpectedLength(), c.expectedLength) << "type " << c.type;
    }
}

TEST(Records, EveryClassReadsExactlyItsLength) {
    const std::int16_t types[] = {0x0000, 0x0011, 0x0020, 0x0030, 0x0031, 0x0040, 0x0041, 0x0050,
                                  0x0060, 0x0080, 0x0201, 0x0212, 0x0221, 0x0232, 0x0241, 0x0251};
    TRecordFactory factory;
    for (std::int16_t type : types) {
        std::uint16_t length = factory.CreateRecord(type, 0).ExpectedLength();
        Bytes bytes(length, 0x11);
        bytes.push_back(0xEE);
        auto stream = StreamOf(bytes);
        factory.CreateRecord(type, length).Read(stream, length);
        EXPECT_EQ(stream.GetPosition(), length) << "type " << type;
        EXPECT_EQ(stream.ReadByte(), 0xEE) << "type " << type;
    }
}

TEST(Records, MarkersTextFillsFourColumns) {
    struct Case {
        std::uint8_t bits;
        const char* text;
    } cases[] = {{0x05, "1,,1,"}, {0x00, ",,,"}, {0x0F, "1,1,1,1"}, {0xF0, ",,,"}, {0x08, ",,,1"}};
    for (const auto& c : cases) {
        LR0041 record;
        record.MarkerBits = c.bits;
        EXPECT_EQ(record.MarkersText(), c.text) << "bits " << int(c.bits);
    }
}

TEST(Records, AreaTextParsesTheUsualNotation) {
    struct Case {
        const char* text;
        double area;
    } cases[] = {{"12.5ha", 12.5}, {"7.25", 7.25}, {"ha", 0},  {" 3.5 ha", 3.5}, {"-2e1", -20}, {"+4", 4},  {"abc", 0},
                 {"", 0},          {"1,5", 0},     {"inf", 0}, {"12.5hA", 0},    {"9 h", 0},    {"5hha", 5}};
    for (const auto& c : cases) EXPECT_EQ(ParseAreaText(c.text), c.area) << "'" << c.text << "'";
}

TEST(Records, HeaderKeepsItsTexts) {
    logwriter::BinaryHeader h;
    h.textA = "Unit 7";
    h.area = "3.75ha";
    h.textE = std::string(24, 'E');  // fills its field: no zero byte
    auto stream = StreamOf(logwriter::BinaryLogWriter(h).Data());
    LRHeader header;
    header.Read(stream, header.ExpectedLength());
    EXPECT_EQ(header.Signature, "RNSLOGFILE V1.00");
    EXPECT_EQ(header.TextA, "Unit 7");
    EXPECT_EQ(header.Area, 3.75);
    EXPECT_EQ(header.TextE, std::string(24, 'E'));
    EXPECT_TRUE(stream.Eof());
}

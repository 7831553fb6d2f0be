// The records of the binary log: a 512-byte header, then typed, length-prefixed records.
// Each class knows its type and payload length and reads its payload from a TBinaryStream;
// a prefix length that differs from the class's length skips the payload and leaves every
// field zero.
#pragma once
#include <cstdint>
#include <string>

#include "BinaryStream.h"

namespace korvex {

class TLogRecord {
public:
    TLogRecord(std::int16_t id, std::uint16_t length) : Id(id), Length(length) {}
    virtual ~TLogRecord() = default;

    virtual void Read(TBinaryStream& stream, std::uint16_t length) = 0;

    std::uint16_t ExpectedLength() const { return Length; }
    bool CheckLength(TBinaryStream& stream, std::uint16_t length);

    std::int16_t Id;
    std::uint16_t Length;
};

constexpr std::int16_t kOtherRecordId = 0x00FF;

class LRHeader : public TLogRecord {
public:
    LRHeader() : TLogRecord(kOtherRecordId, 512) {}
    void Read(TBinaryStream& stream, std::uint16_t length) override;

    std::string Signature, TextA, AreaText, TextB, TextC, TextD, TextE;
    double Area = 0;
};

// Area text of the header: a decimal number, optionally followed by "ha"; 0 when unreadable.
double ParseAreaText(std::string text);

class LR0000 : public TLogRecord {  // position
public:
    LR0000() : TLogRecord(0x0000, 24) {}
    void Read(TBinaryStream& stream, std::uint16_t length) override;
    std::int32_t Latitude = 0, Longitude = 0;
    std::int16_t Altitude = 0;
    std::int32_t Value4 = 0;
    std::uint8_t Byte5 = 0, Byte6 = 0;
    std::int16_t Value7 = 0;
    std::uint8_t Bytes8[6] = {};
};

class LR0011 : public TLogRecord {
public:
    LR0011() : TLogRecord(0x0011, 12) {}
    void Read(TBinaryStream& stream, std::uint16_t length) override;
    std::int16_t Values[4] = {};
    std::int32_t Value5 = 0;
};

class LR0020 : public TLogRecord {  // Nas as an integer
public:
    LR0020() : TLogRecord(0x0020, 8) {}
    void Read(TBinaryStream& stream, std::uint16_t length) override;
    std::int16_t Nas = 0;
    std::uint16_t Word2 = 0;
    std::uint8_t Bytes3[4] = {};
};

class LR0030 : public TLogRecord {  // Nc
public:
    LR0030() : TLogRecord(0x0030, 32) {}
    void Read(TBinaryStream& stream, std::uint16_t length) override;
    std::uint8_t Bytes1[3] = {};
    std::uint8_t Byte4 = 0;
    std::int16_t Values[10] = {};  // Values[0] is Nc x 100
    std::uint8_t Bytes6[2] = {};
    std::int16_t Values7[3] = {};
};

class LR0031 : public TLogRecord {
public:
    LR0031() : TLogRecord(0x0031, 48) {}
    void Read(TBinaryStream& stream, std::uint16_t length) override;
    std::uint8_t Bytes1[5] = {};
    std::int16_t Values2[4] = {};
    std::uint8_t Bytes3[2] = {};
    std::int16_t Values4[2] = {};
};

class LR0040 : public TLogRecord {
public:
    LR0040() : TLogRecord(0x0040, 8) {}
    void Read(TBinaryStream& stream, std::uint16_t length) override;
    std::int16_t Value1 = 0;
    std::uint8_t Bytes2[3] = {};
};

class LR0041 : public TLogRecord {  // markers
public:
    LR0041() : TLogRecord(0x0041, 2) {}
    void Read(TBinaryStream& stream, std::uint16_t length) override;
    bool IsMarkerSet(int bit) const { return (MarkerBits >> bit) & 1; }
    std::string MarkersText() const;
    std::uint8_t MarkerBits = 0;
    std::uint8_t Byte2 = 0;
};

class LR0050 : public TLogRecord {  // sensor reading, N, application factor
public:
    LR0050() : TLogRecord(0x0050, 16) {}
    void Read(TBinaryStream& stream, std::uint16_t length) override;
    double Reading = 0, Single2 = 0, N = 0;
    std::uint8_t ApplFactor = 0;
    std::uint8_t Bytes5[3] = {};
};

class LR0060 : public TLogRecord {  // Nas as a single
public:
    LR0060() : TLogRecord(0x0060, 8) {}
    void Read(TBinaryStream& stream, std::uint16_t length) override;
    double Nas = 0;
    std::int16_t Value2 = 0;
    std::uint8_t Byte3 = 0, Byte4 = 0;
};

class LR0080 : public TLogRecord {
public:
    LR0080() : TLogRecord(0x0080, 16) {}
    void Read(TBinaryStream& stream, std::uint16_t length) override;
    std::int16_t Value1 = 0;
    std::uint8_t Bytes2[4] = {};
};

// Records read by skipping their whole payload.
class TSkippedRecord : public TLogRecord {
public:
    using TLogRecord::TLogRecord;
    void Read(TBinaryStream& stream, std::uint16_t length) override;
};

class LR020x : public TSkippedRecord {
public:
    explicit LR020x(int variant) : TSkippedRecord(static_cast<std::int16_t>(0x0200 + variant), 204) {}
};
class LR021x : public TSkippedRecord {
public:
    explicit LR021x(int variant) : TSkippedRecord(static_cast<std::int16_t>(0x0210 + variant), 102) {}
};
class LR0241 : public TSkippedRecord {
public:
    LR0241() : TSkippedRecord(0x0241, 224) {}
};
class LR025x : public TSkippedRecord {
public:
    explicit LR025x(int variant) : TSkippedRecord(static_cast<std::int16_t>(0x0250 + variant), 412) {}
};

class LR022x : public TLogRecord {
public:
    explicit LR022x(int variant) : TLogRecord(static_cast<std::int16_t>(0x0220 + variant), 16) {}
    void Read(TBinaryStream& stream, std::uint16_t length) override;
    std::uint16_t Words[6] = {};
    std::int16_t Values[2] = {};
};

class LR023x : public TLogRecord {
public:
    explicit LR023x(int variant) : TLogRecord(static_cast<std::int16_t>(0x0230 + variant), 32) {}
    void Read(TBinaryStream& stream, std::uint16_t length) override;
    std::string Text;
};

// Every type not in the table: skips the record's own length.
class LRDummy : public TSkippedRecord {
public:
    explicit LRDummy(std::uint16_t length) : TSkippedRecord(kOtherRecordId, length) {}
};

// Reads a record's payload of the class's own length from bytes that hold it whole, without a
// check per value: what Read does for such a record, for a caller that has checked the length
// and the room itself (the converter, for the records that fill its rows).
void ReadWhole(LR0000& record, const std::uint8_t* payload);
void ReadWhole(LR0020& record, const std::uint8_t* payload);
void ReadWhole(LR0030& record, const std::uint8_t* payload);
void ReadWhole(LR0041& record, const std::uint8_t* payload);
void ReadWhole(LR0050& record, const std::uint8_t* payload);
void ReadWhole(LR0060& record, const std::uint8_t* payload);

// The record factory. Each CreateRecord hands out a freshly reset record of the class that
// the type names; the instance is reused by the next call, so a record lives only until the
// converter has applied it, and no allocation happens per record.
class TRecordFactory {
public:
    TLogRecord& CreateRecord(std::int16_t type, std::uint16_t length);

private:
    LR0000 r0000_;
    LR0011 r0011_;
    LR0020 r0020_;
    LR0030 r0030_;
    LR0031 r0031_;
    LR0040 r0040_;
    LR0041 r0041_;
    LR0050 r0050_;
    LR0060 r0060_;
    LR0080 r0080_;
    LR020x r020x_{1};
    LR021x r021x_{1};
    LR022x r022x_{1};
    LR023x r023x_{1};
    LR0241 r0241_;
    LR025x r025x_{1};
    LRDummy dummy_{0};
};

}  // namespace korvex

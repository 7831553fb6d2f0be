#include "WinLogRecord.h"

#include <charconv>

namespace korvex {
namespace {

template <typename T, std::size_t N>
void ReadBytes(TBinaryStream& stream, T (&bytes)[N]) {
    for (auto& b : bytes) b = stream.ReadByte();
}

template <std::size_t N>
void ReadSmallInts(TBinaryStream& stream, std::int16_t (&values)[N]) {
    for (auto& v : values) v = stream.ReadSmallInt();
}

}  // namespace

bool TLogRecord::CheckLength(TBinaryStream& stream, std::uint16_t length) {
    if (length == Length) return true;
    stream.Skip(length);
    return false;
}

double ParseAreaText(std::string text) {
    if (text.find("ha") != std::string::npos) text.erase(text.find('h'));
    std::size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return 0;
    std::size_t last = text.find_last_not_of(' ');
    const char* begin = text.data() + first;
    const char* end = text.data() + last + 1;
    bool negative = false;
    if (*begin == '+' || *begin == '-') {
        negative = *begin == '-';
        ++begin;
    }
    // Only the usual decimal notation: a digit or a point must come first (no "inf", "nan").
    if (begin == end || !((*begin >= '0' && *begin <= '9') || *begin == '.')) return 0;
    double value = 0;
    auto result = std::from_chars(begin, end, value, std::chars_format::general);
    if (result.ec != std::errc() || result.ptr != end) return 0;
    return negative ? -value : value;
}

void LRHeader::Read(TBinaryStream& stream, std::uint16_t length) {
    if (!CheckLength(stream, length)) return;
    stream.ReadString(16, Signature);
    stream.Skip(16);
    stream.ReadString(22, TextA);
    stream.ReadString(10, AreaText);
    Area = ParseAreaText(AreaText);
    stream.ReadString(64, TextB);
    stream.ReadString(24, TextC);
    stream.ReadString(24, TextD);
    stream.ReadString(24, TextE);
    stream.Skip(312);
}

void LR0000::Read(TBinaryStream& stream, std::uint16_t length) {
    if (!CheckLength(stream, length)) return;
    Latitude = stream.ReadInteger();
    Longitude = stream.ReadInteger();
    Altitude = stream.ReadSmallInt();
    Value4 = stream.ReadInteger();
    Byte5 = stream.ReadByte();
    Byte6 = stream.ReadByte();
    Value7 = stream.ReadSmallInt();
    ReadBytes(stream, Bytes8);
}

void LR0011::Read(TBinaryStream& stream, std::uint16_t length) {
    if (!CheckLength(stream, length)) return;
    ReadSmallInts(stream, Values);
    Value5 = stream.ReadInteger();
}

void LR0020::Read(TBinaryStream& stream, std::uint16_t length) {
    if (!CheckLength(stream, length)) return;
    Nas = stream.ReadSmallInt();
    Word2 = stream.ReadWord();
    ReadBytes(stream, Bytes3);
}

void LR0030::Read(TBinaryStream& stream, std::uint16_t length) {
    if (!CheckLength(stream, length)) return;
    ReadBytes(stream, Bytes1);
    Byte4 = stream.ReadByte();
    ReadSmallInts(stream, Values);
    ReadBytes(stream, Bytes6);
    ReadSmallInts(stream, Values7);
}

void LR0031::Read(TBinaryStream& stream, std::uint16_t length) {
    if (!CheckLength(stream, length)) return;
    ReadBytes(stream, Bytes1);
    ReadSmallInts(stream, Values2);
    ReadBytes(stream, Bytes3);
    ReadSmallInts(stream, Values4);
    stream.Skip(29);
}

void LR0040::Read(TBinaryStream& stream, std::uint16_t length) {
    if (!CheckLength(stream, length)) return;
    Value1 = stream.ReadSmallInt();
    ReadBytes(stream, Bytes2);
    stream.Skip(3);
}

void LR0041::Read(TBinaryStream& stream, std::uint16_t length) {
    if (!CheckLength(stream, length)) return;
    MarkerBits = stream.ReadByte();
    Byte2 = stream.ReadByte();
}

std::string LR0041::MarkersText() const {
    std::string text;
    for (int i = 0; i < 4; ++i) {
        if (IsMarkerSet(i)) text += '1';
        if (i < 3) text += ',';
    }
    return text;
}

void LR0050::Read(TBinaryStream& stream, std::uint16_t length) {
    if (!CheckLength(stream, length)) return;
    Reading = stream.ReadSingle();
    Single2 = stream.ReadSingle();
    N = stream.ReadSingle();
    ApplFactor = stream.ReadByte();
    ReadBytes(stream, Bytes5);
}

void LR0060::Read(TBinaryStream& stream, std::uint16_t length) {
    if (!CheckLength(stream, length)) return;
    Nas = stream.ReadSingle();
    Value2 = stream.ReadSmallInt();
    Byte3 = stream.ReadByte();
    Byte4 = stream.ReadByte();
}

void LR0080::Read(TBinaryStream& stream, std::uint16_t length) {
    if (!CheckLength(stream, length)) return;
    Value1 = stream.ReadSmallInt();
    ReadBytes(stream, Bytes2);
    stream.Skip(10);
}

void TSkippedRecord::Read(TBinaryStream& stream, std::uint16_t length) {
    stream.Skip(length);
}

void LR022x::Read(TBinaryStream& stream, std::uint16_t length) {
    if (!CheckLength(stream, length)) return;
    for (auto& w : Words) w = stream.ReadWord();
    ReadSmallInts(stream, Values);
}

void LR023x::Read(TBinaryStream& stream, std::uint16_t length) {
    if (!CheckLength(stream, length)) return;
    stream.Skip(20);
    stream.ReadString(12, Text);
}

TLogRecord& TRecordFactory::CreateRecord(std::int16_t type, std::uint16_t length) {
    const int variant = type & 0x000F;
    switch (static_cast<std::uint16_t>(type)) {
    case 0x0000: return r0000_ = LR0000();
    case 0x0011: return r0011_ = LR0011();
    case 0x0020: return r0020_ = LR0020();
    case 0x0030: return r0030_ = LR0030();
    case 0x0031: return r0031_ = LR0031();
    case 0x0040: return r0040_ = LR0040();
    case 0x0041: return r0041_ = LR0041();
    case 0x0050: return r0050_ = LR0050();
    case 0x0060: return r0060_ = LR0060();
    case 0x0080: return r0080_ = LR0080();
    case 0x0201: case 0x0202: return r020x_ = LR020x(variant);
    case 0x0211: case 0x0212: return r021x_ = LR021x(variant);
    case 0x0221: case 0x0222: return r022x_ = LR022x(variant);
    case 0x0231: case 0x0232: return r023x_ = LR023x(variant);
    case 0x0241: return r0241_ = LR0241();
    case 0x0251: case 0x0252: return r025x_ = LR025x(variant);
    default: return dummy_ = LRDummy(length);
    }
}

}  // namespace korvex

#include "WinLogRecord.h"

#include <charconv>

namespace korvex {
namespace {

template <typename Reader, typename T, std::size_t N>
void ReadBytes(Reader& reader, T (&bytes)[N]) {
    for (auto& b : bytes) b = reader.ReadByte();
}

template <typename Reader, std::size_t N>
void ReadSmallInts(Reader& reader, std::int16_t (&values)[N]) {
    for (auto& v : values) v = reader.ReadSmallInt();
}

// Each record's payload fields, in file order, for either reader: the stream itself (every
// value checked, so a payload cut short fails at the exact value) or a cursor over a payload
// that is known to be wholly there.
template <typename R>
void ReadFields(LR0000& r, R& in) {
    r.Latitude = in.ReadInteger();
    r.Longitude = in.ReadInteger();
    r.Altitude = in.ReadSmallInt();
    r.Value4 = in.ReadInteger();
    r.Byte5 = in.ReadByte();
    r.Byte6 = in.ReadByte();
    r.Value7 = in.ReadSmallInt();
    ReadBytes(in, r.Bytes8);
}
template <typename R>
void ReadFields(LR0011& r, R& in) {
    ReadSmallInts(in, r.Values);
    r.Value5 = in.ReadInteger();
}
template <typename R>
void ReadFields(LR0020& r, R& in) {
    r.Nas = in.ReadSmallInt();
    r.Word2 = in.ReadWord();
    ReadBytes(in, r.Bytes3);
}
template <typename R>
void ReadFields(LR0030& r, R& in) {
    ReadBytes(in, r.Bytes1);
    r.Byte4 = in.ReadByte();
    ReadSmallInts(in, r.Values);
    ReadBytes(in, r.Bytes6);
    ReadSmallInts(in, r.Values7);
}
template <typename R>
void ReadFields(LR0031& r, R& in) {
    ReadBytes(in, r.Bytes1);
    ReadSmallInts(in, r.Values2);
    ReadBytes(in, r.Bytes3);
    ReadSmallInts(in, r.Values4);
    in.Skip(29);
}
template <typename R>
void ReadFields(LR0040& r, R& in) {
    r.Value1 = in.ReadSmallInt();
    ReadBytes(in, r.Bytes2);
    in.Skip(3);
}
template <typename R>
void ReadFields(LR0041& r, R& in) {
    r.MarkerBits = in.ReadByte();
    r.Byte2 = in.ReadByte();
}
template <typename R>
void ReadFields(LR0050& r, R& in) {
    r.Reading = in.ReadSingle();
    r.Single2 = in.ReadSingle();
    r.N = in.ReadSingle();
    r.ApplFactor = in.ReadByte();
    ReadBytes(in, r.Bytes5);
}
template <typename R>
void ReadFields(LR0060& r, R& in) {
    r.Nas = in.ReadSingle();
    r.Value2 = in.ReadSmallInt();
    r.Byte3 = in.ReadByte();
    r.Byte4 = in.ReadByte();
}
template <typename R>
void ReadFields(LR0080& r, R& in) {
    r.Value1 = in.ReadSmallInt();
    ReadBytes(in, r.Bytes2);
    in.Skip(10);
}
template <typename R>
void ReadFields(LR022x& r, R& in) {
    for (auto& w : r.Words) w = in.ReadWord();
    ReadSmallInts(in, r.Values);
}
template <typename R>
void ReadFields(LR023x& r, R& in) {
    in.Skip(20);
    in.ReadString(12, r.Text);
}

template <typename Record>
void ReadFromBytes(Record& record, const std::uint8_t* payload) {
    TPayloadCursor cursor(payload);
    ReadFields(record, cursor);
}

// Reads a record's payload after its length has been checked.
template <typename Record>
void ReadPayload(TBinaryStream& stream, Record& record) {
    if (const std::uint8_t* bytes = stream.Claim(record.Length)) {
        ReadFromBytes(record, bytes);
    } else {
        ReadFields(record, stream);
    }
}

}  // namespace

void ReadWhole(LR0000& record, const std::uint8_t* payload) { ReadFromBytes(record, payload); }
void ReadWhole(LR0020& record, const std::uint8_t* payload) { ReadFromBytes(record, payload); }
void ReadWhole(LR0030& record, const std::uint8_t* payload) { ReadFromBytes(record, payload); }
void ReadWhole(LR0041& record, const std::uint8_t* payload) { ReadFromBytes(record, payload); }
void ReadWhole(LR0050& record, const std::uint8_t* payload) { ReadFromBytes(record, payload); }
void ReadWhole(LR0060& record, const std::uint8_t* payload) { ReadFromBytes(record, payload); }

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
    if (CheckLength(stream, length)) ReadPayload(stream, *this);
}

void LR0011::Read(TBinaryStream& stream, std::uint16_t length) {
    if (CheckLength(stream, length)) ReadPayload(stream, *this);
}

void LR0020::Read(TBinaryStream& stream, std::uint16_t length) {
    if (CheckLength(stream, length)) ReadPayload(stream, *this);
}

void LR0030::Read(TBinaryStream& stream, std::uint16_t length) {
    if (CheckLength(stream, length)) ReadPayload(stream, *this);
}

void LR0031::Read(TBinaryStream& stream, std::uint16_t length) {
    if (CheckLength(stream, length)) ReadPayload(stream, *this);
}

void LR0040::Read(TBinaryStream& stream, std::uint16_t length) {
    if (CheckLength(stream, length)) ReadPayload(stream, *this);
}

void LR0041::Read(TBinaryStream& stream, std::uint16_t length) {
    if (CheckLength(stream, length)) ReadPayload(stream, *this);
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
    if (CheckLength(stream, length)) ReadPayload(stream, *this);
}

void LR0060::Read(TBinaryStream& stream, std::uint16_t length) {
    if (CheckLength(stream, length)) ReadPayload(stream, *this);
}

void LR0080::Read(TBinaryStream& stream, std::uint16_t length) {
    if (CheckLength(stream, length)) ReadPayload(stream, *this);
}

void TSkippedRecord::Read(TBinaryStream& stream, std::uint16_t length) { stream.Skip(length); }

void LR022x::Read(TBinaryStream& stream, std::uint16_t length) {
    if (CheckLength(stream, length)) ReadPayload(stream, *this);
}

void LR023x::Read(TBinaryStream& stream, std::uint16_t length) {
    if (CheckLength(stream, length)) ReadPayload(stream, *this);
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
    case 0x0201:
    case 0x0202: return r020x_ = LR020x(variant);
    case 0x0211:
    case 0x0212: return r021x_ = LR021x(variant);
    case 0x0221:
    case 0x0222: return r022x_ = LR022x(variant);
    case 0x0231:
    case 0x0232: return r023x_ = LR023x(variant);
    case 0x0241: return r0241_ = LR0241();
    case 0x0251:
    case 0x0252: return r025x_ = LR025x(variant);
    default: return dummy_ = LRDummy(length);
    }
}

}  // namespace korvex

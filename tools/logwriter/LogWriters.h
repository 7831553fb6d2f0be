// Writers of terminal logs in both formats, record by record and item by item. The sample
// generator uses them, and the tests build their fixtures with them.
#pragma once
#include <cstdint>
#include <cstring>
#include <fstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace logwriter {

using Bytes = std::vector<std::uint8_t>;

inline void PutLE(Bytes& out, std::uint64_t value, int count) {
    for (int i = 0; i < count; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}
inline void PutBE(Bytes& out, std::uint64_t value, int count) {
    for (int i = count - 1; i >= 0; --i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}
inline void PutSingle(Bytes& out, float value) {
    std::uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    PutLE(out, bits, 4);
}
inline void PutText(Bytes& out, const std::string& text, std::size_t width) {
    for (std::size_t i = 0; i < width; ++i) out.push_back(i < text.size() ? static_cast<std::uint8_t>(text[i]) : 0);
}

inline void SaveBytes(const std::string& path, const Bytes& bytes) {
    std::ofstream file(path, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (!file) throw std::runtime_error("cannot write " + path);
}

struct BinaryHeader {
    std::string signature = "RNSLOGFILE V1.00";
    std::string textA = "Terminal";
    std::string area = "12.5ha";
    std::string textB = "Operator";
    std::string textC = "Field";
    std::string textD = "Crop";
    std::string textE = "Remark";
};

// The binary log: the 512-byte header, then typed, length-prefixed records.
class BinaryLogWriter {
public:
    explicit BinaryLogWriter(const BinaryHeader& header = BinaryHeader()) {
        PutText(bytes_, header.signature, 16);
        PutText(bytes_, "", 16);
        PutText(bytes_, header.textA, 22);
        PutText(bytes_, header.area, 10);
        PutText(bytes_, header.textB, 64);
        PutText(bytes_, header.textC, 24);
        PutText(bytes_, header.textD, 24);
        PutText(bytes_, header.textE, 24);
        PutText(bytes_, "", 312);
    }
    static BinaryLogWriter WithoutHeader() { return BinaryLogWriter(0); }

    // A record whose prefix length is the payload's own length.
    BinaryLogWriter& Record(std::int16_t type, const Bytes& payload) {
        return RecordWithLength(type, static_cast<std::uint16_t>(payload.size()), payload);
    }
    // A record whose prefix states `length`, whatever the payload holds.
    BinaryLogWriter& RecordWithLength(std::int16_t type, std::uint16_t length, const Bytes& payload) {
        PutLE(bytes_, static_cast<std::uint16_t>(type), 2);
        PutLE(bytes_, length, 2);
        bytes_.insert(bytes_.end(), payload.begin(), payload.end());
        return *this;
    }
    BinaryLogWriter& Raw(const Bytes& raw) {
        bytes_.insert(bytes_.end(), raw.begin(), raw.end());
        return *this;
    }

    BinaryLogWriter& Position(std::int32_t lat, std::int32_t lon, std::int16_t alt) {
        Bytes p;
        PutLE(p, static_cast<std::uint32_t>(lat), 4);
        PutLE(p, static_cast<std::uint32_t>(lon), 4);
        PutLE(p, static_cast<std::uint16_t>(alt), 2);
        p.resize(24, 0);
        return Record(0x0000, p);
    }
    BinaryLogWriter& Reading(float reading, float n, std::uint8_t applFactor) {
        Bytes p;
        PutSingle(p, reading);
        PutSingle(p, 0.0f);
        PutSingle(p, n);
        p.push_back(applFactor);
        p.resize(16, 0);
        return Record(0x0050, p);
    }
    BinaryLogWriter& NasInteger(std::int16_t nas) {
        Bytes p;
        PutLE(p, static_cast<std::uint16_t>(nas), 2);
        p.resize(8, 0);
        return Record(0x0020, p);
    }
    BinaryLogWriter& NasSingle(float nas) {
        Bytes p;
        PutSingle(p, nas);
        p.resize(8, 0);
        return Record(0x0060, p);
    }
    BinaryLogWriter& Nc(std::int16_t ncTimes100) {
        Bytes p(4, 0);
        PutLE(p, static_cast<std::uint16_t>(ncTimes100), 2);
        p.resize(32, 0);
        return Record(0x0030, p);
    }
    BinaryLogWriter& Markers(std::uint8_t bits) { return Record(0x0041, Bytes{bits, 0}); }

    const Bytes& Data() const { return bytes_; }
    void Save(const std::string& path) const { SaveBytes(path, bytes_); }

private:
    explicit BinaryLogWriter(int) {}
    Bytes bytes_;
};

// The older log: a 512-byte header, then 8-byte value items and 16-byte position items.
class LegacyLogWriter {
public:
    LegacyLogWriter() : bytes_(512, 0) {}

    LegacyLogWriter& Value(int slot, std::uint32_t value) {
        PutBE(bytes_, 0x08FF28B0u + slot, 4);
        PutLE(bytes_, value, 4);
        return *this;
    }
    LegacyLogWriter& Position(std::uint8_t alt, std::int32_t lat, std::int32_t lon) {
        bytes_.push_back(0x01);
        bytes_.push_back(alt);
        PutLE(bytes_, static_cast<std::uint32_t>(lat), 4);
        PutLE(bytes_, static_cast<std::uint32_t>(lon), 4);
        for (int i = 0; i < 6; ++i) bytes_.push_back(0);
        return *this;
    }
    LegacyLogWriter& EndMarker() {
        PutBE(bytes_, 0x0D0A5A4E, 4);
        return *this;
    }
    LegacyLogWriter& Raw(const Bytes& raw) {
        bytes_.insert(bytes_.end(), raw.begin(), raw.end());
        return *this;
    }

    // Message type 1: n (bits 16-23 of w0), reading byte (24-31); BI byte, Nas byte, factor/10 in w1.
    static std::uint32_t Type1Word0(std::uint8_t n, std::uint8_t readingByte) {
        return 0x1u | (std::uint32_t(n) << 16) | (std::uint32_t(readingByte) << 24);
    }
    static std::uint32_t Type1Word1(std::uint8_t biByte, std::uint8_t nasByte, std::uint8_t factorTenths) {
        return biByte | (std::uint32_t(nasByte) << 8) | (std::uint32_t(factorTenths & 0x1F) << 16);
    }
    // Message type 8: factor/10 in bits 4-8 of w0; N as a + b, Nas as c + d in w1; readings in w2.
    static std::uint32_t Type8Word0(std::uint8_t factorTenths) {
        return 0x8u | (std::uint32_t(factorTenths & 0x1F) << 4);
    }
    static std::uint32_t Bytes4(std::uint8_t a, std::uint8_t b, std::uint8_t c, std::uint8_t d) {
        return a | (std::uint32_t(b) << 8) | (std::uint32_t(c) << 16) | (std::uint32_t(d) << 24);
    }
    // Message type 3: Nc x 2 in bits 22-29.
    static std::uint32_t Type3Word0(std::uint8_t ncTimes2) { return 0x3u | (std::uint32_t(ncTimes2) << 22); }
    // Message type 7: marker bits 0-3 go to bits 4-7.
    static std::uint32_t Type7Word0(std::uint8_t markers) { return 0x7u | (std::uint32_t(markers & 0xF) << 4); }

    const Bytes& Data() const { return bytes_; }
    void Save(const std::string& path) const { SaveBytes(path, bytes_); }

private:
    Bytes bytes_;
};

}  // namespace logwriter

// TBinaryStream: typed, sequential reads over a whole log file held in memory.
#pragma once
#include <cstdint>
#include <cstring>
#include <string>

#include "FileImage.h"

namespace korvex {

class TBinaryStream {
public:
    // Loads the whole file; byteOrder 1 = little-endian, any other value = big-endian.
    TBinaryStream(const std::string& fileName, std::int32_t byteOrder);
    // A stream over bytes already in memory (tests, and the fuzz target).
    TBinaryStream(FileImage image, std::int32_t byteOrder);

    bool Eof() const { return Position >= Size; }
    std::uint8_t ReadRawByte();
    std::uint64_t ReadValue(int count) {
        // The common case, a little-endian value that lies wholly in the file, is composed here;
        // the rest (other byte order, running past the end) in ReadValueSlow.
        if (ByteOrder == 1 && Position >= 0 && Size - Position >= count) {
            const std::uint8_t* b = Buffer.bytes.get() + Position;
            Position += count;
            std::uint64_t value = 0;
            for (int i = count - 1; i >= 0; --i) value = (value << 8) | b[i];
            return value;
        }
        return ReadValueSlow(count);
    }
    std::uint8_t ReadByte() { return static_cast<std::uint8_t>(ReadValue(1)); }
    std::int16_t ReadSmallInt() { return static_cast<std::int16_t>(ReadValue(2)); }
    std::uint16_t ReadWord() { return static_cast<std::uint16_t>(ReadValue(2)); }
    std::int32_t ReadInteger() { return static_cast<std::int32_t>(ReadValue(4)); }
    double ReadSingle();
    void ReadString(int count, std::string& text);
    void Skip(std::int32_t count) { Position += count; }

    // Hands out the next `count` bytes when they lie wholly in the file and are read
    // little-endian, so a record can read them without a check per value; null otherwise.
    const std::uint8_t* Claim(int count) {
        if (ByteOrder != 1 || Position < 0 || Size - Position < count) return nullptr;
        const std::uint8_t* bytes = Buffer.bytes.get() + Position;
        Position += count;
        return bytes;
    }

    // The next `count` bytes without consuming them, under the same conditions as Claim.
    const std::uint8_t* Peek(int count) const {
        if (ByteOrder != 1 || Position < 0 || Size - Position < count) return nullptr;
        return Buffer.bytes.get() + Position;
    }

    std::int64_t GetPosition() const { return Position; }
    std::int64_t GetSize() const { return Size; }

private:
    [[noreturn]] void FailValue(int count);
    std::uint64_t ReadValueSlow(int count);

    FileImage Buffer;
    std::int64_t Position = 0;
    std::int64_t Size = 0;
    std::int32_t ByteOrder;
};

// The typed reads of TBinaryStream (little-endian) over bytes that TBinaryStream::Claim handed
// out: no checks, since the whole payload is known to be there.
class TPayloadCursor {
public:
    explicit TPayloadCursor(const std::uint8_t* bytes) : p_(bytes) {}
    std::uint8_t ReadByte() { return *p_++; }
    std::uint16_t ReadWord() {
        std::uint16_t v = static_cast<std::uint16_t>(p_[0] | (p_[1] << 8));
        p_ += 2;
        return v;
    }
    std::int16_t ReadSmallInt() { return static_cast<std::int16_t>(ReadWord()); }
    std::int32_t ReadInteger() {
        std::uint32_t v = std::uint32_t(p_[0]) | (std::uint32_t(p_[1]) << 8) | (std::uint32_t(p_[2]) << 16) |
                          (std::uint32_t(p_[3]) << 24);
        p_ += 4;
        return static_cast<std::int32_t>(v);
    }
    double ReadSingle() {
        std::uint32_t bits = static_cast<std::uint32_t>(ReadInteger());
        float single;
        std::memcpy(&single, &bits, sizeof single);
        return single;
    }
    void ReadString(int count, std::string& text) {
        const char* b = reinterpret_cast<const char*>(p_);
        const void* zero = std::memchr(b, 0, count);
        text.assign(b, zero ? static_cast<const char*>(zero) - b : count);
        p_ += count;
    }
    void Skip(int count) { p_ += count; }

private:
    const std::uint8_t* p_;
};

}  // namespace korvex

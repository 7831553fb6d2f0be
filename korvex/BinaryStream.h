// TBinaryStream: typed, sequential reads over a whole log file held in memory.
#pragma once
#include <cstdint>
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

}  // namespace korvex

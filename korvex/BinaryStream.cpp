#include "BinaryStream.h"

#include <cstring>

#include "KorvexError.h"

namespace korvex {

TBinaryStream::TBinaryStream(const std::string& fileName, std::int32_t byteOrder)
    : TBinaryStream(ReadFileImage(fileName), byteOrder) {}

TBinaryStream::TBinaryStream(FileImage image, std::int32_t byteOrder)
    : Buffer(std::move(image)), Size(Buffer.size), ByteOrder(byteOrder) {}

std::uint8_t TBinaryStream::ReadRawByte() {
    if (Eof() || Position < 0) throw KorvexError("No more data available");
    return Buffer.bytes[Position++];
}

void TBinaryStream::FailValue(int count) {
    // The bytes that were there stay consumed.
    if (Position < Size) Position = Size;
    throw KorvexError("cannot read " + std::to_string(count) + " bytes from input stream");
}

std::uint64_t TBinaryStream::ReadValueSlow(int count) {
    if (Position < 0 || Size - Position < count) FailValue(count);
    const std::uint8_t* b = Buffer.bytes.get() + Position;
    Position += count;
    std::uint64_t value = 0;
    if (ByteOrder == 1) {
        for (int i = count - 1; i >= 0; --i) value = (value << 8) | b[i];
    } else {
        for (int i = 0; i < count; ++i) value = (value << 8) | b[i];
    }
    return value;
}

double TBinaryStream::ReadSingle() {
    std::uint32_t bits = static_cast<std::uint32_t>(ReadValue(4));
    float single;
    std::memcpy(&single, &bits, sizeof single);
    return single;
}

void TBinaryStream::ReadString(int count, std::string& text) {
    if (Position < 0 || Size - Position < count) {
        if (Position >= 0 && Position < Size) Position = Size;
        throw KorvexError("No more data available");
    }
    const char* b = reinterpret_cast<const char*>(Buffer.bytes.get() + Position);
    Position += count;
    const void* zero = std::memchr(b, 0, count);
    text.assign(b, zero ? static_cast<const char*>(zero) - b : count);
}

}  // namespace korvex

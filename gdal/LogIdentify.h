// Which files the driver claims: a binary log by its signature, whatever its name; an older
// log only when its name ends in ".log" and its first items look like an item stream, since
// that format has no signature and any other file would convert to nothing.
#pragma once
#include <cstdint>
#include <string>

#include "FileImage.h"
#include "korvex.h"

namespace korvexgdal {

// How many bytes of a file the test looks at: the 512-byte header and the first items.
constexpr std::int64_t kIdentifyBytes = 512 + 4096;

// `head` holds the first min(file size, kIdentifyBytes) bytes of the file.
korvex::LogFormat ClaimedFormat(const std::string& fileName, const std::uint8_t* head, std::int64_t headSize);

bool HasLogExtension(const std::string& fileName);

// A copy of `size` bytes as a file image, for the conversion library's readers.
korvex::FileImage CopyImage(const std::uint8_t* bytes, std::int64_t size);

// The older format's item stream from offset 512: the end marker at once (a log without
// data), or value items and position items.
bool LooksLikeItemStream(const std::uint8_t* head, std::int64_t headSize);

}  // namespace korvexgdal

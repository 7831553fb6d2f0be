#include "LogIdentify.h"

#include <cstring>

#include "logFile.h"

namespace korvexgdal {

korvex::FileImage CopyImage(const std::uint8_t* bytes, std::int64_t size) {
    korvex::FileImage image;
    image.size = size;
    image.bytes.reset(new std::uint8_t[size > 0 ? size : 1]);
    if (size > 0) std::memcpy(image.bytes.get(), bytes, static_cast<std::size_t>(size));
    return image;
}

bool HasLogExtension(const std::string& fileName) {
    if (fileName.size() < 4) return false;
    std::string tail = fileName.substr(fileName.size() - 4);
    for (char& c : tail)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return tail == ".log";
}

bool LooksLikeItemStream(const std::uint8_t* head, std::int64_t headSize) {
    constexpr std::int64_t kItemsStart = 512;
    if (headSize < kItemsStart + 4) return false;
    korvex::LegacyItemCounts counts = korvex::TLogFile(CopyImage(head, headSize)).CountItems();
    std::uint64_t values = 0;
    for (std::uint64_t v : counts.valueItems) values += v;
    if (counts.endMarker && values == 0 && counts.positionItems == 0) return true;
    // Every 16 bytes that are not a tag count as a position item, so value items are what
    // tells an item stream from other data: their 4-byte tags stand on item boundaries.
    return values > 0 && counts.positionItems > 0;
}

korvex::LogFormat ClaimedFormat(const std::string& fileName, const std::uint8_t* head, std::int64_t headSize) {
    constexpr std::int64_t kSignatureSize = 16;
    if (headSize >= kSignatureSize && korvex::IdentifyLog(CopyImage(head, kSignatureSize)) == korvex::LogFormat::Binary)
        return korvex::LogFormat::Binary;
    if (HasLogExtension(fileName) && LooksLikeItemStream(head, headSize)) return korvex::LogFormat::Legacy;
    return korvex::LogFormat::Unknown;
}

}  // namespace korvexgdal

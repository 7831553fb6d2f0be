// TLogFile: the older log format, a 512-byte header and a stream of 8-byte value items
// (a tag per slot) and 16-byte position items, grouped into sensor messages.
#pragma once
#include <cstdint>
#include <string>

#include "FileImage.h"
#include "logData.h"

namespace korvex {

constexpr std::uint32_t kLegacyEndMarker = 0x0D0A5A4E;
constexpr std::uint32_t kLegacySlotTag = 0x08FF28B0;

// What the item stream holds, for the korvex tool.
struct LegacyItemCounts {
    std::uint64_t valueItems[kLegacySlots] = {};
    std::uint64_t positionItems = 0;
    bool endMarker = false;
    std::int64_t trailingBytes = 0;  // bytes after the last whole item, when no end marker
};

class TLogFile {
public:
    explicit TLogFile(const std::string& fileName);  // reads the whole file; errors propagate
    explicit TLogFile(FileImage image) : Data(std::move(image)) {}

    void ConvertToCSV(const std::string& outputPath, const std::string& headerLine, bool skipPositionCheck,
                      bool skipReadingCheck);
    // The conversion proper, into any line sink; the sink is closed on every path.
    void ConvertTo(LineSink& sink, const std::string& headerLine, bool skipPositionCheck, bool skipReadingCheck);
    LegacyItemCounts CountItems() const;

private:
    template <typename OnGroupStart, typename OnValue, typename OnPosition>
    void WalkItems(OnGroupStart onGroupStart, OnValue onValue, OnPosition onPosition, LegacyItemCounts* counts) const;

    FileImage Data;
};

}  // namespace korvex

#include "logFile.h"

namespace korvex {
namespace {

constexpr std::int64_t kItemsStart = 512;

std::uint32_t BigEndian32(const std::uint8_t* p) {
    return (std::uint32_t(p[0]) << 24) | (std::uint32_t(p[1]) << 16) | (std::uint32_t(p[2]) << 8) | p[3];
}

std::int32_t LittleEndian32(const std::uint8_t* p) {
    return static_cast<std::int32_t>(std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
                                     (std::uint32_t(p[3]) << 24));
}

// The conversion's state across groups: the value slots of the group in progress, the row
// being collected, and the Nc and marker values that carry into later rows.
class GroupWriter {
public:
    GroupWriter(LineSink& sink, bool skipPositionCheck, bool skipReadingCheck)
        : sink_(sink), skipPosition_(skipPositionCheck), skipReading_(skipReadingCheck) {
        ClearSlots();
        for (auto& m : savedMarkers_) m = kMissingInt;
    }

    void SetSlot(int slot, std::int32_t value) { slots_[slot] = value; }
    void SetPosition(std::int32_t alt, std::int32_t lat, std::int32_t lon) { row_.SetPosition(alt, lat, lon); }

    void EndGroup() {
        row_.Decode(slots_);
        if (!row_.PositionMissing()) {
            if (row_.Nc == -9999) row_.Nc = savedNc_;
            else savedNc_ = row_.Nc;
            for (int i = 0; i < 4; ++i) row_.Markers[i] = savedMarkers_[i];
            if (row_.MessageType == 7) {
                auto w0 = static_cast<std::uint32_t>(slots_[0]);
                for (int i = 0; i < 4; ++i) {
                    savedMarkers_[i] = ((w0 >> (4 + i)) & 1) ? 1 : kMissingInt;
                    row_.Markers[i] = savedMarkers_[i];
                }
            }
            if ((row_.MessageType == 1 || row_.MessageType == 8) && row_.IsComplete(skipPosition_, skipReading_)) {
                row_.CSVLine(sink_.LineBuffer());
                sink_.EndLine();
            }
        }
        ClearSlots();
        row_ = TLogData();
    }

private:
    void ClearSlots() {
        for (auto& s : slots_) s = kMissingInt;
    }

    LineSink& sink_;
    bool skipPosition_, skipReading_;
    std::int32_t slots_[kLegacySlots];
    TLogData row_;
    double savedNc_ = -9999;
    std::int32_t savedMarkers_[4];
};

}  // namespace

TLogFile::TLogFile(const std::string& fileName) : Data(ReadFileImage(fileName)) {}

template <typename OnGroupStart, typename OnValue, typename OnPosition>
void TLogFile::WalkItems(OnGroupStart onGroupStart, OnValue onValue, OnPosition onPosition,
                         LegacyItemCounts* counts) const {
    const std::uint8_t* data = Data.bytes.get();
    const std::int64_t size = Data.size;
    std::int64_t p = kItemsStart;
    while (size - p >= 4) {
        std::uint32_t tag = BigEndian32(data + p);
        if (tag == kLegacyEndMarker) {
            if (counts) counts->endMarker = true;
            return;
        }
        if (tag >= kLegacySlotTag && tag <= kLegacySlotTag + 7) {
            // A slot 0 tag ends the group in progress even when its value is cut off.
            if (tag == kLegacySlotTag) onGroupStart();
            if (size - p < 8) break;
            onValue(static_cast<int>(tag - kLegacySlotTag), LittleEndian32(data + p + 4));
            p += 8;
        } else {
            if (size - p < 16) break;
            onPosition(data[p + 1], LittleEndian32(data + p + 2), LittleEndian32(data + p + 6));
            p += 16;
        }
    }
    if (counts && size > p) counts->trailingBytes = size - p;
}

void TLogFile::ConvertToCSV(const std::string& outputPath, const std::string& headerLine, bool skipPositionCheck,
                            bool skipReadingCheck) {
    FileLineSink sink(outputPath);
    ConvertTo(sink, headerLine, skipPositionCheck, skipReadingCheck);
}

void TLogFile::ConvertTo(LineSink& sink, const std::string& headerLine, bool skipPositionCheck, bool skipReadingCheck) {
    if (!headerLine.empty()) sink.WriteLine(headerLine);
    GroupWriter groups(sink, skipPositionCheck, skipReadingCheck);
    WalkItems([&] { groups.EndGroup(); }, [&](int slot, std::int32_t value) { groups.SetSlot(slot, value); },
              [&](std::uint8_t alt, std::int32_t lat, std::int32_t lon) { groups.SetPosition(alt, lat, lon); },
              nullptr);
    // The group in progress when the data ends is not written.
    sink.Close();
}

LegacyItemCounts TLogFile::CountItems() const {
    LegacyItemCounts counts;
    WalkItems([] {}, [&](int slot, std::int32_t) { ++counts.valueItems[slot]; },
              [&](std::uint8_t, std::int32_t, std::int32_t) { ++counts.positionItems; }, &counts);
    return counts;
}

}  // namespace korvex

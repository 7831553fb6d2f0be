// TLogData: one output row of the older log format, decoded from a group of value slots.
#pragma once
#include <cstdint>
#include <string>

namespace korvex {

constexpr std::int32_t kMissingInt = -9999;
constexpr int kLegacySlots = 8;

class TLogData {
public:
    void Decode(const std::int32_t (&slots)[kLegacySlots]);
    // From a position item: latitude and longitude in 10^-7 degrees.
    void SetPosition(std::int32_t alt, std::int32_t latitude, std::int32_t longitude);
    bool PositionMissing() const;
    bool IsComplete(bool skipPositionCheck, bool skipReadingCheck) const;
    void CSVLine(std::string& line) const;

    double Lat = -9999, Long = -9999;
    std::int32_t Alt = -1;
    double BI = -9999;
    std::int32_t N = kMissingInt, Nas = kMissingInt, ApplFactor = kMissingInt;
    std::int32_t Markers[4] = {kMissingInt, kMissingInt, kMissingInt, kMissingInt};
    std::int32_t Calibration = kMissingInt;
    double Nc = -9999;
    double Reading = -9999;
    std::int32_t MessageType = kMissingInt;

private:
    // The raw coordinates that Lat and Long come from (set with them by SetPosition alone):
    // the line prints them as those integers with the point inserted.
    std::int32_t rawLat_ = 0, rawLong_ = 0;

    void DecodeType1(std::uint32_t w0, std::uint32_t w1);
    void DecodeType3(std::uint32_t w0);
    void DecodeType8(std::uint32_t w0, std::uint32_t w1, std::uint32_t w2);
};

}  // namespace korvex

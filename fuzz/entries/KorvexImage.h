// The two conversion entries' shared part: an input made into a log image in memory,
// converted through korvex's core (ConvertImage) into a sink that checks every line.
#pragma once
#include <cstddef>
#include <cstdint>
#include <vector>

namespace nivrafuzz {

// Input: one flags byte, then the log. Bit 0 skips the position check, bit 1 the reading
// check; bit 2 takes the rest as the whole file, otherwise `header` (512 bytes) is put before
// it, so that the fuzzer spends its bytes on records and items rather than on the header.
void ConvertAsLog(const std::uint8_t* data, std::size_t size, const std::vector<std::uint8_t>& header);

}  // namespace nivrafuzz

// The binary-log converter on a memory image: arbitrary records after a valid header (or,
// with flag bit 2, an arbitrary whole file), through IdentifyLog and ConvertImage.
#include "FuzzEntries.h"
#include "KorvexImage.h"
#include "logwriter/LogWriters.h"

namespace nivrafuzz {

void KorvexBinaryOne(const std::uint8_t* data, std::size_t size) {
    static const logwriter::Bytes header = logwriter::BinaryLogWriter().Data();
    ConvertAsLog(data, size, header);
}

}  // namespace nivrafuzz

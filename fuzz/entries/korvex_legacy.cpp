// The older-format converter on a memory image: an arbitrary item stream after a blank
// 512-byte header (or, with flag bit 2, an arbitrary whole file), through IdentifyLog and
// ConvertImage.
#include "FuzzEntries.h"
#include "KorvexImage.h"
#include "logwriter/LogWriters.h"

namespace nivrafuzz {

void KorvexLegacyOne(const std::uint8_t* data, std::size_t size) {
    static const logwriter::Bytes header = logwriter::LegacyLogWriter().Data();
    ConvertAsLog(data, size, header);
}

}  // namespace nivrafuzz

// The one libFuzzer wrapper: each target is this file built with NIVRA_FUZZ_ENTRY naming its
// entry in FuzzEntries.h. A broken promise (CheckFailed) is left uncaught, so libFuzzer
// reports the abort and keeps the input.
#include "FuzzEntries.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    nivrafuzz::NIVRA_FUZZ_ENTRY(data, size);
    return 0;
}

// The fuzz entries: one function per target, each taking one input whatever its bytes. The
// libFuzzer target <name>_fuzz calls it for every input, and the regression table test
// (tests/native/fuzz_regressions) for every file in tests/fuzz-regressions/<name>/, so both
// run the same code and the same checks.
#pragma once
#include <cstddef>
#include <cstdint>

namespace nivrafuzz {

using Entry = void (*)(const std::uint8_t* data, std::size_t size);

void KorvexBinaryOne(const std::uint8_t* data, std::size_t size);
void KorvexLegacyOne(const std::uint8_t* data, std::size_t size);
void CsvLineOne(const std::uint8_t* data, std::size_t size);
void DataFileNameOne(const std::uint8_t* data, std::size_t size);
void TextStoreOne(const std::uint8_t* data, std::size_t size);
void RegistryScriptOne(const std::uint8_t* data, std::size_t size);
void PublishPlanOne(const std::uint8_t* data, std::size_t size);

struct NamedEntry {
    const char* name;  // the target without "_fuzz", and its regression folder
    Entry entry;
};

inline constexpr NamedEntry kEntries[] = {
    {"korvex_binary", KorvexBinaryOne},  {"korvex_legacy", KorvexLegacyOne}, {"csv_line", CsvLineOne},
    {"data_file_name", DataFileNameOne}, {"text_store", TextStoreOne},       {"registry_script", RegistryScriptOne},
    {"publish_plan", PublishPlanOne},
};

}  // namespace nivrafuzz

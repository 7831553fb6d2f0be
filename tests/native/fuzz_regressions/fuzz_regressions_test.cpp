// Inputs the fuzz targets found (crashes, hangs, broken promises) and a few representative
// seeds, kept as files: each must pass its target's entry, with the entry's checks, whatever
// the build. A file name says what the input exercises.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "FuzzEntries.h"

namespace nivrafuzz {
// A failure names the target, not the bytes of its table entry.
void PrintTo(const NamedEntry& entry, std::ostream* out) { *out << entry.name; }
}  // namespace nivrafuzz

namespace {

namespace fs = std::filesystem;

std::vector<std::uint8_t> ReadBytes(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

std::vector<fs::path> InputsOf(const std::string& target) {
    std::vector<fs::path> inputs;
    const fs::path folder = fs::path(NIVRA_FUZZ_REGRESSIONS_DIR) / target;
    if (fs::is_directory(folder))
        for (const auto& entry : fs::directory_iterator(folder))
            if (entry.is_regular_file()) inputs.push_back(entry.path());
    std::sort(inputs.begin(), inputs.end());
    return inputs;
}

class FuzzRegressions : public ::testing::TestWithParam<nivrafuzz::NamedEntry> {};

TEST_P(FuzzRegressions, EveryKeptInputPassesItsTargetsEntry) {
    const nivrafuzz::NamedEntry target = GetParam();
    const std::vector<fs::path> inputs = InputsOf(target.name);
    EXPECT_FALSE(inputs.empty()) << "no inputs in tests/fuzz-regressions/" << target.name;
    for (const fs::path& input : inputs) {
        const std::vector<std::uint8_t> bytes = ReadBytes(input);
        try {
            target.entry(bytes.data(), bytes.size());
        } catch (const std::exception& e) {
            ADD_FAILURE() << input.string() << ": " << e.what();
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Targets, FuzzRegressions, ::testing::ValuesIn(nivrafuzz::kEntries),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace

// Writes a small seed corpus for a korvex fuzz target: a binary log and an older log, each
// preceded by the flags byte.
//   korvex_fuzz_seeds DIR            both logs whole (korvex_fuzz, gdal_driver_fuzz)
//   korvex_fuzz_seeds DIR binary     korvex_binary_fuzz: the binary log's records alone (the
//                                    entry puts a header before them), and the log whole
//   korvex_fuzz_seeds DIR legacy     korvex_legacy_fuzz: the same for the older log
#include <cstdio>
#include <string>

#include "logwriter/LogWriters.h"

namespace {

logwriter::Bytes BinarySample() {
    logwriter::BinaryLogWriter binary;
    binary.Nc(525)
        .Position(515000000, 75000000, 1235)
        .Reading(25, 120, 3)
        .Markers(5)
        .NasInteger(90)
        .NasSingle(80.5f)
        .Record(0x0201, logwriter::Bytes(204, 0))
        .Position(515000100, 75000100, 1240)
        .Reading(-1, -1, 0);
    return binary.Data();
}

logwriter::Bytes LegacySample() {
    using W = logwriter::LegacyLogWriter;
    W legacy;
    legacy.Value(0, W::Type3Word0(25))
        .Position(1, 515000000, 75000000)
        .Value(0, W::Type1Word0(60, 150))
        .Value(1, W::Type1Word1(100, 20, 3))
        .Position(2, 515000000, 75000000)
        .Value(0, W::Type8Word0(2))
        .Value(1, W::Bytes4(40, 42, 10, 12))
        .Value(2, W::Bytes4(20, 24, 0, 0))
        .Position(3, 515000000, 75000000)
        .Value(0, W::Type7Word0(5))
        .Position(4, 1, 1)
        .Value(0, 0)
        .EndMarker();
    return legacy.Data();
}

// Four seeds of one log, one per value of the two check flags; `extraFlags` is or-ed in.
void SaveSeeds(const std::string& dir, const std::string& name, const logwriter::Bytes& log, int extraFlags) {
    for (int f = 0; f < 4; ++f) {
        logwriter::Bytes seed{static_cast<std::uint8_t>(f | extraFlags)};
        seed.insert(seed.end(), log.begin(), log.end());
        logwriter::SaveBytes(dir + "/" + name + std::to_string(f), seed);
    }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2 && argc != 3) return 2;
    const std::string dir = argv[1];
    const std::string target = argc == 3 ? argv[2] : "";
    constexpr int kWholeFile = 4;  // the entries' flag: the input is the whole file
    if (target.empty()) {
        SaveSeeds(dir, "binary", BinarySample(), 0);
        SaveSeeds(dir, "legacy", LegacySample(), 0);
    } else if (target == "binary" || target == "legacy") {
        const logwriter::Bytes log = target == "binary" ? BinarySample() : LegacySample();
        SaveSeeds(dir, target + "-whole", log, kWholeFile);
        SaveSeeds(dir, target + "-body", logwriter::Bytes(log.begin() + 512, log.end()), 0);
    } else {
        return 2;
    }
    return 0;
}

// Writes a small seed corpus for the korvex fuzz target: a binary log and an older log, each
// preceded by the flags byte.
#include <cstdio>
#include <string>

#include "logwriter/LogWriters.h"

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    std::string dir = argv[1];
    logwriter::BinaryLogWriter binary;
    binary.Nc(525).Position(515000000, 75000000, 1235).Reading(25, 120, 3).Markers(5).NasInteger(90)
        .NasSingle(80.5f).Record(0x0201, logwriter::Bytes(204, 0)).Position(515000100, 75000100, 1240)
        .Reading(-1, -1, 0);
    using W = logwriter::LegacyLogWriter;
    W legacy;
    legacy.Value(0, W::Type3Word0(25)).Position(1, 515000000, 75000000)
        .Value(0, W::Type1Word0(60, 150)).Value(1, W::Type1Word1(100, 20, 3)).Position(2, 515000000, 75000000)
        .Value(0, W::Type8Word0(2)).Value(1, W::Bytes4(40, 42, 10, 12)).Value(2, W::Bytes4(20, 24, 0, 0))
        .Position(3, 515000000, 75000000).Value(0, W::Type7Word0(5)).Position(4, 1, 1).Value(0, 0).EndMarker();
    int flags = 0;
    for (const auto* log : {&binary.Data(), &legacy.Data()}) {
        for (int f = 0; f < 4; ++f, ++flags) {
            logwriter::Bytes seed{static_cast<std::uint8_t>(f)};
            seed.insert(seed.end(), log->begin(), log->end());
            logwriter::SaveBytes(dir + "/seed" + std::to_string(flags), seed);
        }
    }
    return 0;
}

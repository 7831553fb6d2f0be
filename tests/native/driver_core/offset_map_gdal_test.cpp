// The offset map grids read back by an independent reader, GDAL's Surfer ASCII grid driver:
// size, cell size, origin, min/max and the place of single cells. Skipped where gdalinfo is
// missing.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "publisher/OffsetMapFormat.h"
#include "ScratchFolder.h"

namespace nivra {
namespace {

struct CommandResult {
    int status = -1;
    std::string output;
};

CommandResult RunCommand(const std::string& command) {
    CommandResult result;
    std::FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (!pipe) return result;
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) result.output.append(buffer, n);
    result.status = pclose(pipe);
    return result;
}

bool GdalInstalled() { return RunCommand("gdalinfo --version").status == 0; }

std::string Quoted(const std::string& path) { return "'" + path + "'"; }

// One grid: nx by ny cells on a 10-unit spacing from (100, 200); cell k (0-based, in
// writing order) holds k + 1, except the blank cells.
struct GridCase {
    std::int32_t nx;
    std::int32_t ny;
    std::vector<int> blankCells;
};

bool IsBlank(const GridCase& grid, int k) {
    for (int b : grid.blankCells)
        if (b == k) return true;
    return false;
}

void WriteGrid(const GridCase& grid, const std::string& path) {
    OffsetMapHeader header;
    header.nx = grid.nx;
    header.ny = grid.ny;
    header.xMin = 100.0;
    header.xMax = 100.0 + 10.0 * (grid.nx - 1);
    header.yMin = 200.0;
    header.yMax = 200.0 + 10.0 * (grid.ny - 1);
    for (int k = 0; k < grid.nx * grid.ny; ++k)
        if (!IsBlank(grid, k)) header.z.Include(k + 1);
    OffsetMapWriter writer;
    ASSERT_TRUE(writer.Open(path));
    writer.WriteHeader(header);
    for (int k = 0; k < grid.nx * grid.ny; ++k) {
        if (IsBlank(grid, k)) {
            writer.WriteBlank();
        } else {
            writer.WriteValue(k + 1);
        }
    }
    ASSERT_TRUE(writer.Finish());
}

// GDAL's row 0 is the highest y, while the file's first row is the lowest.
std::string CellValue(const std::string& path, int column, int fileRow, int ny) {
    const CommandResult result = RunCommand("gdallocationinfo -valonly " + Quoted(path) + " " + std::to_string(column) +
                                            " " + std::to_string(ny - 1 - fileRow));
    EXPECT_EQ(result.status, 0) << result.output;
    std::string value = result.output;
    while (!value.empty() && (value.back() == '\n' || value.back() == '\r')) value.pop_back();
    return value;
}

TEST(OffsetMapGdal, GdalReadsTheGridsSizeExtentRangeAndCells) {
    if (!GdalInstalled()) GTEST_SKIP() << "gdalinfo is not installed";
    test::ScratchFolder folder;
    const GridCase cases[] = {
        {7, 3, {2}},
        {20, 2, {0, 39}},
        {10, 4, {}},
        {23, 2, {22}},
    };
    for (const GridCase& grid : cases) {
        const std::string path = folder.File("grid_" + std::to_string(grid.nx) + ".grd");
        WriteGrid(grid, path);
        const CommandResult info = RunCommand("gdalinfo -mm " + Quoted(path));
        ASSERT_EQ(info.status, 0) << info.output;
        const std::string where = "nx " + std::to_string(grid.nx) + ":\n" + info.output;
        EXPECT_NE(info.output.find("Size is " + std::to_string(grid.nx) + ", " + std::to_string(grid.ny)),
                  std::string::npos)
            << where;
        EXPECT_NE(info.output.find("Pixel Size = (10.000000000000000,-10.000000000000000)"), std::string::npos)
            << where;
        const std::string top = std::to_string(200 + 10 * (grid.ny - 1) + 5);
        EXPECT_NE(info.output.find("Origin = (95.000000000000000," + top + ".000000000000000)"), std::string::npos)
            << where;

        int low = -1, high = -1;
        for (int k = 0; k < grid.nx * grid.ny; ++k) {
            if (IsBlank(grid, k)) continue;
            if (low < 0) low = k + 1;
            high = k + 1;
        }
        const std::string range = std::to_string(low) + ".000," + std::to_string(high) + ".000";
        EXPECT_NE(info.output.find("Computed Min/Max=" + range), std::string::npos) << where;

        // The first, a middle and the last cell sit where the writing order puts them.
        for (int k : {0, grid.nx + 1, grid.nx * grid.ny - 1}) {
            const std::string expected = IsBlank(grid, k) ? "1.70141e+38" : std::to_string(k + 1);
            EXPECT_EQ(CellValue(path, k % grid.nx, k / grid.nx, grid.ny), expected)
                << "nx " << grid.nx << ", cell " << k;
        }
    }
}

TEST(OffsetMapGdal, GdalReadsAnAllBlankGrid) {
    if (!GdalInstalled()) GTEST_SKIP() << "gdalinfo is not installed";
    test::ScratchFolder folder;
    const std::string path = folder.File("blank.grd");
    WriteGrid({3, 2, {0, 1, 2, 3, 4, 5}}, path);
    const CommandResult info = RunCommand("gdalinfo " + Quoted(path));
    ASSERT_EQ(info.status, 0) << info.output;
    EXPECT_NE(info.output.find("Size is 3, 2"), std::string::npos) << info.output;
    EXPECT_EQ(CellValue(path, 1, 1, 2), "1.70141e+38");
}

}  // namespace
}  // namespace nivra

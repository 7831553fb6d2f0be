// The offset map grid file: a Surfer "DSAA" text grid of one product's rates, written row by
// row from the lowest y, each row from the lowest x.
#pragma once
#include <cfloat>
#include <cstdint>
#include <string>

#include "publisher/TextFileWriter.h"

namespace nivra {

// The smallest and largest rate of the non-blank cells. The start values are what a grid
// without any rate shows on its z line.
struct OffsetMapRange {
    double zMin = DBL_MAX;
    double zMax = DBL_MIN;  // the smallest positive normal double, not the most negative one

    void Include(double z) {
        if (z > zMax) zMax = z;
        if (z < zMin) zMin = z;
    }
};

struct OffsetMapHeader {
    std::int32_t nx = 0;
    std::int32_t ny = 0;
    double xMin = 0.0;
    double xMax = 0.0;
    double yMin = 0.0;
    double yMax = 0.0;
    OffsetMapRange z;
};

class OffsetMapWriter {
public:
    explicit OffsetMapWriter(FileOps& ops = FileOps::System()) : file_(ops) {}

    // Replaces any old file at `path`; false when it cannot be opened.
    bool Open(const std::string& path);

    // The five header lines; the row length nx also sets where rows break.
    void WriteHeader(const OffsetMapHeader& header);

    void WriteValue(double rate);
    // A cell outside the prescription.
    void WriteBlank();

    // True only if the whole grid reached the file (see TextFileWriter::Finish).
    bool Finish() { return file_.Finish(); }

private:
    void EndCell();

    TextFileWriter file_;
    std::string cell_;
    std::int32_t nx_ = 0;
    std::int32_t counter_ = 1;  // position of the next value in its row, 1-based
};

}  // namespace nivra

#include "publisher/OffsetMapFormat.h"

#include "text/PrintfNumber.h"

namespace nivra {
namespace {

// The grid format's blank value, as the terminal expects it.
constexpr const char* kBlankCell = "1.70141e+38 ";

void AppendPair(std::string& out, double first, double second) {
    AppendPrintfFixed(out, first, 6);
    out += ' ';
    AppendPrintfFixed(out, second, 6);
    out += '\n';
}

}  // namespace

bool OffsetMapWriter::Open(const std::string& path) {
    counter_ = 1;
    return file_.Open(path);
}

void OffsetMapWriter::WriteHeader(const OffsetMapHeader& header) {
    nx_ = header.nx;
    counter_ = 1;
    std::string text = "DSAA\n";
    AppendPrintfDecimal(text, header.nx);
    text += ' ';
    AppendPrintfDecimal(text, header.ny);
    text += '\n';
    AppendPair(text, header.xMin, header.xMax);
    AppendPair(text, header.yMin, header.yMax);
    AppendPair(text, header.z.zMin, header.z.zMax);
    file_.Write(text);
}

void OffsetMapWriter::WriteValue(double rate) {
    cell_.clear();
    AppendPrintfFixed(cell_, rate, 6);
    cell_ += ' ';
    EndCell();
}

void OffsetMapWriter::WriteBlank() {
    cell_ = kBlankCell;
    EndCell();
}

// A line may hold at most ten values, and an empty line ends each grid row.
void OffsetMapWriter::EndCell() {
    if (counter_ % 10 == 0) cell_ += '\n';
    if (counter_ == nx_) {
        cell_ += "\n\n";
        counter_ = 0;
    }
    ++counter_;
    file_.Write(cell_);
}

}  // namespace nivra

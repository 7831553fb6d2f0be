// Line-by-line reading of the driver's text files (log CSV, "fields.txt", the publisher's
// files read back).
//
// A line is returned whole, whatever its length, without its line end: a LF, or a CR LF
// pair, so a file written with CR LF reads the same on every platform. A line is never
// handed out in pieces: a piece of a long CSV row would otherwise become a logged point of
// its own. A Ctrl-Z ends the text, as it does for the C runtime's text mode: files saved by
// old editors carry one at their end, which must not read as one more row.
#pragma once
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace nivra {

class TextLineReader {
public:
    TextLineReader() = default;
    TextLineReader(const TextLineReader&) = delete;
    TextLineReader& operator=(const TextLineReader&) = delete;

    // Opens `path` (an 8-bit path in the system's code page); false when it cannot be read.
    bool Open(const std::string& path);
    // Reads a stream opened elsewhere (through FileOps, or over memory) and closes it in the
    // end; false when `file` is null.
    bool Open(std::FILE* file);
    bool IsOpen() const { return file_ != nullptr; }

    // The next line; false at the end of the file (a read error counts as the end).
    bool ReadLine(std::string& line);

    // Bytes of the file consumed by the lines returned so far.
    std::int64_t Offset() const { return offset_; }

    void Close();

private:
    struct Closer {
        void operator()(std::FILE* file) const { std::fclose(file); }
    };

    bool Refill();

    std::unique_ptr<std::FILE, Closer> file_;
    std::vector<char> buffer_;
    std::size_t begin_ = 0;
    std::size_t end_ = 0;
    std::int64_t offset_ = 0;
    bool endOfText_ = false;  // a Ctrl-Z was read
};

}  // namespace nivra

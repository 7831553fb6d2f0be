#include "text/TextLines.h"

#include <algorithm>
#include <cstring>

namespace nivra {
namespace {

// The first read of a file asks for a small chunk and each further read for twice as much,
// up to the largest chunk: the publisher's files and "fields.txt" hold a few hundred bytes,
// a log CSV many megabytes, and a file of a few lines should not cost a large buffer.
constexpr std::size_t kFirstChunk = 4 * 1024;
constexpr std::size_t kChunk = 64 * 1024;
constexpr char kEndOfText = '\x1a';

void StripLineEnd(std::string& line) {
    if (!line.empty() && line.back() == '\n') line.pop_back();
    if (!line.empty() && line.back() == '\r') line.pop_back();
}

}  // namespace

bool TextLineReader::Open(const std::string& path) { return Open(std::fopen(path.c_str(), "rb")); }

bool TextLineReader::Open(std::FILE* file) {
    Close();
    file_.reset(file);
    if (!file_) return false;
    buffer_.clear();
    return true;
}

void TextLineReader::Close() {
    file_.reset();
    begin_ = end_ = 0;
    offset_ = 0;
    endOfText_ = false;
}

bool TextLineReader::Refill() {
    // Only a load that filled the buffer asks for a larger one: a file of a few lines is
    // read with the first chunk alone.
    const bool lastLoadFilled = end_ == buffer_.size();
    begin_ = end_ = 0;
    if (endOfText_) return false;
    if (lastLoadFilled) buffer_.resize(buffer_.empty() ? kFirstChunk : std::min(buffer_.size() * 2, kChunk));
    end_ = std::fread(buffer_.data(), 1, buffer_.size(), file_.get());
    if (const void* ctrlZ = std::memchr(buffer_.data(), kEndOfText, end_)) {
        end_ = static_cast<std::size_t>(static_cast<const char*>(ctrlZ) - buffer_.data());
        endOfText_ = true;
    }
    return end_ > 0;
}

bool TextLineReader::ReadLine(std::string& line) {
    line.clear();
    if (!file_) return false;
    for (;;) {
        if (begin_ == end_ && !Refill()) break;
        const char* start = buffer_.data() + begin_;
        const std::size_t available = end_ - begin_;
        const void* newline = std::memchr(start, '\n', available);
        const std::size_t taken = newline ? static_cast<const char*>(newline) - start + 1 : available;
        line.append(start, taken);
        begin_ += taken;
        offset_ += static_cast<std::int64_t>(taken);
        if (newline) break;
    }
    if (line.empty()) return false;
    StripLineEnd(line);
    return true;
}

}  // namespace nivra

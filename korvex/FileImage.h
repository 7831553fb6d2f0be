// Whole-file reading and CSV line output shared by both converters.
#pragma once
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

namespace korvex {

// The complete contents of one file, read in a single request. Files of 2 GiB or more are
// refused: the log formats count their size in a signed 32-bit value.
struct FileImage {
    std::unique_ptr<std::uint8_t[]> bytes;
    std::int64_t size = 0;
};

FileImage ReadFileImage(const std::string& fileName);

// Where the converted lines go. Every line is followed by CR LF.
class LineSink {
public:
    virtual ~LineSink() = default;
    virtual void WriteLine(const std::string& line) = 0;
    // Writing in place: append the line's text to LineBuffer(), then call EndLine().
    virtual std::string& LineBuffer() { return pending_; }
    virtual void EndLine() {
        WriteLine(pending_);
        pending_.clear();
    }
    virtual void Close() {}
    std::uint64_t LinesWritten() const { return lines_; }

protected:
    std::uint64_t lines_ = 0;

private:
    std::string pending_;
};

// Writes lines to a file through a large buffer. Any failure to create, write or close the
// file raises a KorvexError: a row must never be lost silently.
class FileLineSink : public LineSink {
public:
    explicit FileLineSink(const std::string& fileName);
    ~FileLineSink() override;
    FileLineSink(const FileLineSink&) = delete;
    FileLineSink& operator=(const FileLineSink&) = delete;

    void WriteLine(const std::string& line) override;
    std::string& LineBuffer() override { return buffer_; }
    void EndLine() override {
        buffer_.append("\r\n", 2);
        ++lines_;
        if (buffer_.size() >= kFlushSize) Flush();
    }
    void Close() override;

private:
    static constexpr std::size_t kFlushSize = 1 << 20;
    void Flush();

    std::string fileName_;
    std::FILE* file_ = nullptr;
    std::string buffer_;
};

// Counts lines without writing them (the korvex tool's `info`).
class CountingLineSink : public LineSink {
public:
    void WriteLine(const std::string&) override { ++lines_; }
};

}  // namespace korvex

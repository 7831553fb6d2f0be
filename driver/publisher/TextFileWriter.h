// Writing the terminal's text files: every line feed becomes CR LF on every platform (the
// terminal reads CR LF), and every write error is noticed, so a full disk never passes for a
// written file.
#pragma once
#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

namespace nivra {

// The system calls behind a written file, and the opening of a file read back; tests
// replace them to fail any one of them, the fuzz target to keep the files in memory.
class FileOps {
public:
    virtual ~FileOps() = default;
    virtual std::FILE* Open(const char* path);            // for writing, replacing an old file
    virtual std::FILE* OpenForReading(const char* path);  // binary; null when it cannot be read
    virtual std::size_t Write(std::FILE* file, const char* data, std::size_t size);
    virtual int Flush(std::FILE* file);
    virtual int Close(std::FILE* file);
    virtual void Remove(const char* path);

    static FileOps& System();
};

class TextFileWriter {
public:
    explicit TextFileWriter(FileOps& ops = FileOps::System()) : ops_(ops) {}
    TextFileWriter(const TextFileWriter&) = delete;
    TextFileWriter& operator=(const TextFileWriter&) = delete;
    // A file still open (an export cut short by an error) is closed with what was written.
    ~TextFileWriter();

    bool Open(const std::string& path);
    bool IsOpen() const { return file_ != nullptr; }

    // Appends text; each '\n' is written as CR LF.
    void Write(std::string_view text);

    // Writes out, closes, and tells whether every byte reached the file. A regular file
    // that failed is removed rather than left half-written.
    bool Finish();

private:
    void WritePending();
    void CloseQuietly();

    FileOps& ops_;
    std::FILE* file_ = nullptr;
    std::string path_;
    std::string pending_;
    bool failed_ = false;
    bool removable_ = false;
};

// Opens, writes `text` and finishes: true only if the whole file was written.
bool WriteTextFile(const std::string& path, std::string_view text, FileOps& ops = FileOps::System());

}  // namespace nivra

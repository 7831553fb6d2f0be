#include "publisher/TextFileWriter.h"

#include <sys/stat.h>

#include <cstring>

namespace nivra {
namespace {

constexpr std::size_t kWriteChunk = 64 * 1024;

// Only a regular file is removed after a failed write: a path naming a device must never
// lose its node.
bool IsRegularFile(std::FILE* file) {
#ifdef _WIN32
    struct _stat64 info;
    return _fstat64(_fileno(file), &info) == 0 && (info.st_mode & _S_IFMT) == _S_IFREG;
#else
    struct stat info;
    return fstat(fileno(file), &info) == 0 && S_ISREG(info.st_mode);
#endif
}

}  // namespace

std::FILE* FileOps::Open(const char* path) { return std::fopen(path, "wb"); }

std::FILE* FileOps::OpenForReading(const char* path) { return std::fopen(path, "rb"); }

std::size_t FileOps::Write(std::FILE* file, const char* data, std::size_t size) {
    return std::fwrite(data, 1, size, file);
}

int FileOps::Flush(std::FILE* file) { return std::fflush(file); }

int FileOps::Close(std::FILE* file) { return std::fclose(file); }

void FileOps::Remove(const char* path) { std::remove(path); }

FileOps& FileOps::System() {
    static FileOps system;
    return system;
}

TextFileWriter::~TextFileWriter() {
    if (!file_) return;
    WritePending();
    CloseQuietly();
}

bool TextFileWriter::Open(const std::string& path) {
    if (file_) Finish();
    failed_ = false;
    pending_.clear();
    path_ = path;
    file_ = ops_.Open(path.c_str());
    removable_ = file_ != nullptr && IsRegularFile(file_);
    return file_ != nullptr;
}

void TextFileWriter::Write(std::string_view text) {
    if (!file_) return;
    for (;;) {
        const std::size_t lineEnd = text.find('\n');
        if (lineEnd == std::string_view::npos) break;
        pending_.append(text.data(), lineEnd);
        pending_.append("\r\n", 2);
        text.remove_prefix(lineEnd + 1);
    }
    pending_.append(text.data(), text.size());
    if (pending_.size() >= kWriteChunk) WritePending();
}

void TextFileWriter::WritePending() {
    if (!failed_ && !pending_.empty() && ops_.Write(file_, pending_.data(), pending_.size()) != pending_.size()) {
        failed_ = true;
    }
    pending_.clear();
}

void TextFileWriter::CloseQuietly() {
    ops_.Close(file_);
    file_ = nullptr;
}

bool TextFileWriter::Finish() {
    if (!file_) return false;
    WritePending();
    if (ops_.Flush(file_) != 0) failed_ = true;
    if (ops_.Close(file_) != 0) failed_ = true;
    file_ = nullptr;
    if (failed_ && removable_) ops_.Remove(path_.c_str());
    return !failed_;
}

bool WriteTextFile(const std::string& path, std::string_view text, FileOps& ops) {
    TextFileWriter writer(ops);
    if (!writer.Open(path)) return false;
    writer.Write(text);
    return writer.Finish();
}

}  // namespace nivra

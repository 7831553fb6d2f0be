#include "FileImage.h"

#include <cerrno>
#include <cstring>

#include "KorvexError.h"

#ifdef __linux__
#include <sys/mman.h>
#endif

namespace korvex {
namespace {

constexpr std::int64_t kMaxFileSize = 0x7FFFFFFF;  // sizes are signed 32-bit values

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

std::int64_t FileSize(std::FILE* f) {
#ifdef _WIN32
    if (_fseeki64(f, 0, SEEK_END) != 0) return -1;
    std::int64_t size = _ftelli64(f);
    if (_fseeki64(f, 0, SEEK_SET) != 0) return -1;
#else
    if (fseeko(f, 0, SEEK_END) != 0) return -1;
    std::int64_t size = ftello(f);
    if (fseeko(f, 0, SEEK_SET) != 0) return -1;
#endif
    return size;
}

std::string SystemError(const std::string& what, const std::string& fileName) {
    return what + " '" + fileName + "': " + std::strerror(errno);
}

// A large image is faulted in by the read itself, one page at a time; on Linux, asking for
// transparent huge pages for it first saves almost all of those faults (about a third of a
// whole conversion's time for a 100 MB log). Only a hint: where it is refused nothing changes.
void PreferHugePages(std::uint8_t* bytes, std::int64_t size) {
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    constexpr std::uintptr_t kHugePage = std::uintptr_t(1) << 21;
    if (size < static_cast<std::int64_t>(4 * kHugePage)) return;
    auto begin = (reinterpret_cast<std::uintptr_t>(bytes) + kHugePage - 1) & ~(kHugePage - 1);
    auto end = (reinterpret_cast<std::uintptr_t>(bytes) + static_cast<std::uintptr_t>(size)) & ~(kHugePage - 1);
    if (end > begin) madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
#else
    (void)bytes;
    (void)size;
#endif
}

}  // namespace

FileImage ReadFileImage(const std::string& fileName) {
    FilePtr file(std::fopen(fileName.c_str(), "rb"));
    if (!file) throw KorvexError(SystemError("cannot open", fileName));
    std::int64_t size = FileSize(file.get());
    if (size < 0) throw KorvexError(SystemError("cannot get the size of", fileName));
    if (size > kMaxFileSize) throw KorvexError("file '" + fileName + "' is 2 GiB or larger; logs are limited to 2 GiB");
    FileImage image;
    image.bytes.reset(new std::uint8_t[size > 0 ? size : 1]);
    image.size = size;
    PreferHugePages(image.bytes.get(), size);
    std::size_t read = size > 0 ? std::fread(image.bytes.get(), 1, size, file.get()) : 0;
    if (std::fclose(file.release()) != 0 || static_cast<std::int64_t>(read) != size)
        throw KorvexError("Error while reading from File" + fileName + "!");
    return image;
}

FileLineSink::FileLineSink(const std::string& fileName) : fileName_(fileName) {
    file_ = std::fopen(fileName.c_str(), "wb");
    if (!file_) throw KorvexError(SystemError("cannot create", fileName));
    buffer_.reserve(kFlushSize + 4096);
}

FileLineSink::~FileLineSink() {
    // Reached without Close only when the conversion failed: the lines written so far stay.
    if (!file_) return;
    if (!buffer_.empty()) std::fwrite(buffer_.data(), 1, buffer_.size(), file_);
    std::fclose(file_);
}

void FileLineSink::WriteLine(const std::string& line) {
    buffer_.append(line);
    EndLine();
}

void FileLineSink::Flush() {
    if (buffer_.empty()) return;
    std::size_t size = buffer_.size();
    std::size_t written = std::fwrite(buffer_.data(), 1, size, file_);
    buffer_.clear();  // a failed block is not tried again by the destructor
    if (written != size) throw KorvexError(SystemError("cannot write to", fileName_));
}

void FileLineSink::Close() {
    if (!file_) return;
    Flush();
    std::FILE* file = file_;
    file_ = nullptr;
    // Some C runtimes report a failed final write only from fflush, not from fclose.
    bool flushed = std::fflush(file) == 0;
    if (std::fclose(file) != 0 || !flushed) throw KorvexError(SystemError("cannot write to", fileName_));
}

}  // namespace korvex

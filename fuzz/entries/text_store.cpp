// The publisher's read-back of its four text files: LoadTextFiles over texts held in memory
// (FileOps opens them with fmemopen and writes into open_memstream), the lookups on what was
// read, and write then read back: the files written from what was read, read and written
// again, are the same bytes whenever the texts read can be written unchanged.
#include <stdio.h>

#include <cmath>
#include <cstdlib>
#include <map>
#include <string>
#include <unordered_map>
#include <vector>

#include "FuzzCheck.h"
#include "FuzzEntries.h"
#include "publisher/TextStore.h"

namespace nivrafuzz {
namespace {

using nivra::TextFilePaths;
using nivra::TextStore;

// Files by path, in memory. An open for reading gets a stream over the text; an open for
// writing a memory stream whose bytes become the file's text when it is closed.
class MemoryFiles : public nivra::FileOps {
public:
    std::FILE* Open(const char* path) override {
        Writing& w = writing_[path];
        std::free(w.buffer);
        w = Writing();
        std::FILE* file = open_memstream(&w.buffer, &w.size);
        if (file) paths_[file] = path;
        return file;
    }
    std::FILE* OpenForReading(const char* path) override {
        auto found = files.find(path);
        if (found == files.end()) return nullptr;
        // fmemopen wants room for at least one byte; an empty file is a stream already at its end.
        std::string& text = found->second;
        return text.empty() ? fmemopen(empty_, 1, "rb") : fmemopen(&text[0], text.size(), "rb");
    }
    int Close(std::FILE* file) override {
        auto path = paths_.find(file);  // found before the close: the pointer is dead after it
        const int status = std::fclose(file);
        if (path != paths_.end()) {
            Writing& w = writing_[path->second];
            files[path->second].assign(w.buffer ? w.buffer : "", w.size);
            std::free(w.buffer);
            w = Writing();
            paths_.erase(path);
        }
        return status;
    }
    void Remove(const char* path) override { files.erase(path); }
    ~MemoryFiles() override {
        for (auto& w : writing_) std::free(w.second.buffer);
    }

    std::map<std::string, std::string> files;

private:
    struct Writing {
        char* buffer = nullptr;
        std::size_t size = 0;
    };
    std::map<std::string, Writing> writing_;
    std::map<std::FILE*, std::string> paths_;
    char empty_[1] = {};
};

const TextFilePaths kPaths = TextFilePaths::InFolder("T:");

// Input: the texts of fields.txt, tasks.txt, crops.txt and customers.txt, parted by 0x1E;
// a file after the last part is absent.
void PutInputFiles(const std::uint8_t* data, std::size_t size, MemoryFiles& files) {
    const std::string input(reinterpret_cast<const char*>(data), size);
    const std::string* paths[] = {&kPaths.fields, &kPaths.tasks, &kPaths.crops, &kPaths.customers};
    std::size_t start = 0;
    for (const std::string* path : paths) {
        const std::size_t end = input.find('\x1e', start);
        files.files[*path] = input.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (end == std::string::npos) return;
        start = end + 1;
    }
}

// A text that the files hold as it is: the writers neither quote nor escape.
bool WritesUnchanged(const std::string& text) {
    return text.find_first_of("\",;\r\n") == std::string::npos && (text.empty() || text[0] != ' ');
}

bool WritesUnchanged(const TextStore& store) {
    for (const nivra::FieldRecord& f : store.Fields())
        if (!std::isfinite(f.size) || !WritesUnchanged(f.Schlagname) || !WritesUnchanged(f.Fruchart) ||
            !WritesUnchanged(f.Kunde) || !WritesUnchanged(f.Kommentar))
            return false;
    for (const nivra::TaskRecord& t : store.Tasks())
        if (!std::isfinite(t.fieldSize) || !WritesUnchanged(t.fieldName) || !WritesUnchanged(t.cropName) ||
            !WritesUnchanged(t.customerName) || !WritesUnchanged(t.fieldComment) || !WritesUnchanged(t.gridfileName))
            return false;
    for (const auto* list : {&store.Crops(), &store.Customers()})
        for (const nivra::LookupEntry& e : *list)
            if (!WritesUnchanged(e.name)) return false;
    return true;
}

std::int32_t Wrapped(std::int32_t value, std::int32_t step) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(value) + static_cast<std::uint32_t>(step));
}

// The id counters follow the last line of each file.
void CheckCounters(const TextStore& store) {
    Check(store.NextFieldId() == (store.Fields().empty() ? 1 : Wrapped(store.Fields().back().Nr, 2)),
          "the next field id follows the last field read");
    Check(store.NextCropId() == (store.Crops().empty() ? 1 : Wrapped(store.Crops().back().expid, 1)),
          "the next crop id follows the last crop read");
    Check(store.NextCustomerId() == (store.Customers().empty() ? 1 : Wrapped(store.Customers().back().expid, 1)),
          "the next customer id follows the last customer read");
}

template <typename List, typename NameOf, typename Lookup>
void CheckFirstMatchWins(const List& list, NameOf nameOf, Lookup lookup, const char* what) {
    std::unordered_map<std::string, std::size_t> first;
    for (std::size_t i = 0; i < list.size(); ++i) first.emplace(nameOf(list[i]), i);
    const std::size_t size = list.size();
    for (const auto& entry : first)
        Check(lookup(entry.first) == entry.second, "a lookup finds the first record of its name", what);
    Check(list.size() == size, "a lookup of a name read adds no record", what);
}

void CheckLookups(TextStore& store) {
    CheckFirstMatchWins(
        store.Fields(), [](const nivra::FieldRecord& f) { return f.Schlagname; },
        [&](const std::string& name) { return store.GetOrAddField(name); }, "field");
    CheckFirstMatchWins(
        store.Crops(), [](const nivra::LookupEntry& e) { return e.name; },
        [&](const std::string& name) { return store.GetOrAddCrop(name); }, "crop");
    CheckFirstMatchWins(
        store.Customers(), [](const nivra::LookupEntry& e) { return e.name; },
        [&](const std::string& name) { return store.GetOrAddCustomer(name); }, "customer");
}

// Writes the four files into `files` (replacing what they held) and returns their texts.
std::vector<std::string> WriteAll(const TextStore& store, MemoryFiles& files) {
    Check(store.WriteFieldsFile(kPaths.fields) && store.WriteTasksFile(kPaths.tasks) &&
              store.WriteCropsFile(kPaths.crops) && store.WriteCustomersFile(kPaths.customers),
          "every file is written into memory");
    return {files.files[kPaths.fields], files.files[kPaths.tasks], files.files[kPaths.crops],
            files.files[kPaths.customers]};
}

}  // namespace

void TextStoreOne(const std::uint8_t* data, std::size_t size) {
    MemoryFiles files;
    PutInputFiles(data, size, files);
    TextStore read(files);
    read.LoadTextFiles(kPaths);
    CheckCounters(read);
    CheckLookups(read);

    const bool unchanged = WritesUnchanged(read);
    const std::vector<std::string> written = WriteAll(read, files);
    TextStore reread(files);
    reread.LoadTextFiles(kPaths);
    const std::vector<std::string> rewritten = WriteAll(reread, files);
    if (!unchanged) return;
    Check(written == rewritten, "files written from what was read read back as the same files");
    Check(reread.Fields().size() == read.Fields().size() && reread.Crops().size() == read.Crops().size() &&
              reread.Customers().size() == read.Customers().size() &&
              reread.Tasks().size() == std::min<std::size_t>(read.Tasks().size(), 99),
          "every record written reads back (tasks up to the terminal's 99)");
}

}  // namespace nivrafuzz

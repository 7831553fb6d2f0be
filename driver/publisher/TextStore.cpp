#include "publisher/TextStore.h"

#include <cstring>
#include <utility>

#include "text/PrintfNumber.h"
#include "text/TextLines.h"
#include "text/TParser.h"

namespace nivra {
namespace {

// The terminal reads exactly this many task lines; unused ones carry a filler.
constexpr int kTaskLines = 99;
constexpr const char* kTaskFillerLine = ";0;;;;;0;null\n";

constexpr const char* kFieldsHeader =
    "\"Nr.\",\"Schlagname\",\"size\",\"Fruchart\",\"Kunde\",\"Kommentar\","
    "\"croplookupexpid\",\"expid\",\"customerlookupexpid\",\n";
constexpr const char* kTasksHeader = "fieldName;fieldSize;cropName;customerName;fieldComment;gridfileName;taskTime\n";
constexpr const char* kCropsHeader = "\"name\",\"expid\",\n";
constexpr const char* kCustomersHeader = "\"customer\",\"expid\",\n";

// Ids read back may sit at the end of the 32-bit range; the counters wrap as 32-bit
// integers do rather than overflow.
std::int32_t WrappingAdd(std::int32_t value, std::int32_t step) {
    return static_cast<std::int32_t>(static_cast<std::uint32_t>(value) + static_cast<std::uint32_t>(step));
}

// Texts are written as "%s" writes them: up to their first NUL, without any quoting. A line
// break inside a text (a comment of several lines) would end the record early and be read
// back as a record of its own, so CR and LF are written as blanks.
void AppendText(std::string& out, const std::string& text) {
    const std::size_t start = out.size();
    out.append(text.c_str());
    for (std::size_t i = start; i < out.size(); ++i)
        if (out[i] == '\r' || out[i] == '\n') out[i] = ' ';
}

void AppendQuoted(std::string& out, const std::string& text) {
    out += '"';
    AppendText(out, text);
    out += "\",";
}

void AppendQuotedNumber(std::string& out, std::int32_t value) {
    out += '"';
    AppendPrintfDecimal(out, value);
    out += "\",";
}

void AppendQuotedFixed(std::string& out, double value) {
    out += '"';
    AppendPrintfFixed(out, value, 2);
    out += "\",";
}

void AppendTextOrEmpty(std::string& out, const std::string& text) {
    if (text.empty()) {
        out += ',';
    } else {
        AppendQuoted(out, text);
    }
}

void AppendIdOrEmpty(std::string& out, std::int32_t id) {
    if (id > 0) {
        AppendQuotedNumber(out, id);
    } else {
        out += ',';
    }
}

std::string LookupFileText(const char* header, const std::vector<LookupEntry>& entries) {
    std::string text = header;
    for (const LookupEntry& entry : entries) {
        AppendQuoted(text, entry.name);
        AppendIdOrEmpty(text, entry.expid);
        text += '\n';
    }
    return text;
}

std::string FieldsFileText(const std::vector<FieldRecord>& fields) {
    std::string text = kFieldsHeader;
    for (const FieldRecord& field : fields) {
        AppendQuotedNumber(text, field.Nr);
        AppendQuoted(text, field.Schlagname);
        AppendQuotedFixed(text, field.size);
        AppendTextOrEmpty(text, field.Fruchart);
        AppendTextOrEmpty(text, field.Kunde);
        AppendTextOrEmpty(text, field.Kommentar);
        AppendIdOrEmpty(text, field.croplookupexpid);
        AppendIdOrEmpty(text, field.expid);
        AppendIdOrEmpty(text, field.customerlookupexpid);
        text += '\n';
    }
    return text;
}

void AppendTaskLine(std::string& out, const TaskRecord& task) {
    AppendText(out, task.fieldName);
    out += ';';
    AppendPrintfFixed(out, task.fieldSize, 2);
    out += ';';
    for (const std::string* part : {&task.cropName, &task.customerName, &task.fieldComment, &task.gridfileName}) {
        AppendText(out, *part);
        out += ';';
    }
    out += "0;null\n";  // the terminal's time column is always 0
}

std::string TasksFileText(const std::vector<TaskRecord>& tasks) {
    std::string text = kTasksHeader;
    for (int i = 0; i < kTaskLines; ++i) {
        if (static_cast<std::size_t>(i) < tasks.size()) {
            AppendTaskLine(text, tasks[i]);
        } else {
            text += kTaskFillerLine;
        }
    }
    return text;
}

// Runs `readLine` on every line after the header of the file at `path`, parsed with
// `separator`; an absent file is skipped.
template <typename ReadLine>
void ForEachDataLine(FileOps& ops, const std::string& path, char separator, ReadLine readLine) {
    TextLineReader reader;
    if (!reader.Open(ops.OpenForReading(path.c_str()))) return;
    std::string line;
    if (!reader.ReadLine(line)) return;
    TParser parser(separator);
    while (reader.ReadLine(line)) {
        parser.Parse(line.c_str(), -1);
        readLine(parser);
    }
}

}  // namespace

TextFilePaths TextFilePaths::InFolder(const std::string& destinationFolder) {
    return {destinationFolder + "\\fields.txt", destinationFolder + "\\tasks.txt", destinationFolder + "\\crops.txt",
            destinationFolder + "\\customers.txt"};
}

TextStore::TextStore(FileOps& ops) : ops_(ops) {}

void TextStore::ResetStore() {
    nextFieldId_ = nextCustomerId_ = nextCropId_ = 1;
    fields_.clear();
    customers_.clear();
    crops_.clear();
    tasks_.clear();
    fieldIndex_.clear();
    customerIndex_.clear();
    cropIndex_.clear();
}

void TextStore::AppendEntry(std::vector<LookupEntry>& entries, FirstIndex& index, LookupEntry entry) {
    index.emplace(entry.name, entries.size());  // keeps an earlier entry of the same name
    entries.push_back(std::move(entry));
}

std::size_t TextStore::GetOrAddEntry(std::vector<LookupEntry>& entries, FirstIndex& index, std::int32_t& nextId,
                                     const std::string& name) {
    const auto found = index.find(name);
    if (found != index.end()) return found->second;
    AppendEntry(entries, index, LookupEntry{nextId, name});
    nextId = WrappingAdd(nextId, 1);
    return entries.size() - 1;
}

std::size_t TextStore::GetOrAddCustomer(const std::string& name) {
    return GetOrAddEntry(customers_, customerIndex_, nextCustomerId_, name);
}

std::size_t TextStore::GetOrAddCrop(const std::string& name) {
    return GetOrAddEntry(crops_, cropIndex_, nextCropId_, name);
}

void TextStore::AppendField(FieldRecord record) {
    fieldIndex_.emplace(record.Schlagname, fields_.size());
    fields_.push_back(std::move(record));
}

std::size_t TextStore::GetOrAddField(const std::string& name) {
    const auto found = fieldIndex_.find(name);
    if (found != fieldIndex_.end()) return found->second;
    FieldRecord record;
    record.Nr = WrappingAdd(nextFieldId_, -1);
    record.expid = nextFieldId_;
    record.size = -1.0;
    record.Schlagname = name;
    AppendField(std::move(record));
    nextFieldId_ = WrappingAdd(nextFieldId_, 1);
    return fields_.size() - 1;
}

FieldRecord& TextStore::FieldAt(std::size_t index) {
    if (index >= fields_.size()) throw StoreIndexError("no field record at this index");
    return fields_[index];
}

void TextStore::SetFieldSize(std::size_t index, double size) { FieldAt(index).size = size; }

void TextStore::SetFieldCustomer(std::size_t index, const std::string& name, std::int32_t expid) {
    FieldRecord& field = FieldAt(index);
    field.Kunde = name;
    field.customerlookupexpid = expid;
}

void TextStore::SetFieldCrop(std::size_t index, const std::string& name, std::int32_t expid) {
    FieldRecord& field = FieldAt(index);
    field.Fruchart = name;
    field.croplookupexpid = expid;
}

void TextStore::AddTask(const TaskRecord& task) { tasks_.push_back(task); }

void TextStore::LoadFieldsFile(const std::string& path) {
    ForEachDataLine(ops_, path, ',', [this](const TParser& parser) {
        FieldRecord record;
        parser.GetLong(1, record.Nr);
        record.Schlagname = parser.GetText(2);
        parser.GetDouble(3, record.size);
        record.Fruchart = parser.GetText(4);
        record.Kunde = parser.GetText(5);
        record.Kommentar = parser.GetText(6);
        parser.GetLong(7, record.croplookupexpid);
        parser.GetLong(8, record.expid);
        parser.GetLong(9, record.customerlookupexpid);
        nextFieldId_ = WrappingAdd(record.Nr, 2);
        AppendField(std::move(record));
    });
}

void TextStore::LoadTasksFile(const std::string& path) {
    ForEachDataLine(ops_, path, ';', [this](const TParser& parser) {
        TaskRecord task;
        task.fieldName = parser.GetText(1);
        if (task.fieldName.empty()) return;  // a filler line
        parser.GetDouble(2, task.fieldSize);
        task.cropName = parser.GetText(3);
        task.customerName = parser.GetText(4);
        task.fieldComment = parser.GetText(5);
        task.gridfileName = parser.GetText(6);
        parser.GetLong(7, task.taskTime);
        tasks_.push_back(std::move(task));
    });
}

void TextStore::LoadLookupFile(const std::string& path, std::vector<LookupEntry>& entries, FirstIndex& index,
                               std::int32_t& nextId) {
    ForEachDataLine(ops_, path, ',', [&](const TParser& parser) {
        LookupEntry entry;
        entry.name = parser.GetText(1);
        parser.GetLong(2, entry.expid);
        nextId = WrappingAdd(entry.expid, 1);
        AppendEntry(entries, index, std::move(entry));
    });
}

void TextStore::LoadTextFiles(const TextFilePaths& paths) {
    LoadFieldsFile(paths.fields);
    LoadTasksFile(paths.tasks);
    LoadLookupFile(paths.crops, crops_, cropIndex_, nextCropId_);
    LoadLookupFile(paths.customers, customers_, customerIndex_, nextCustomerId_);
}

bool TextStore::WriteCropsFile(const std::string& path) const {
    return WriteTextFile(path, LookupFileText(kCropsHeader, crops_), ops_);
}

bool TextStore::WriteTasksFile(const std::string& path) const {
    return WriteTextFile(path, TasksFileText(tasks_), ops_);
}

bool TextStore::WriteFieldsFile(const std::string& path) const {
    return WriteTextFile(path, FieldsFileText(fields_), ops_);
}

bool TextStore::WriteCustomersFile(const std::string& path) const {
    return WriteTextFile(path, LookupFileText(kCustomersHeader, customers_), ops_);
}

}  // namespace nivra

// The publisher's text store: the fields, customers, crops and tasks collected by a publish
// run, and the four text files the terminal reads ("fields.txt", "customers.txt",
// "crops.txt", "tasks.txt").
#pragma once
#include <cstdint>
#include <stdexcept>
#include <string>
#include <unordered_map>
#include <vector>

#include "publisher/TextFileWriter.h"

namespace nivra {

struct FieldRecord {
    std::int32_t Nr = 0;
    std::int32_t expid = 0;
    std::int32_t croplookupexpid = 0;      // 0 = no crop
    std::int32_t customerlookupexpid = 0;  // 0 = no customer
    double size = 0.0;                     // -1.0 = not yet known
    std::string Schlagname;
    std::string Fruchart;
    std::string Kunde;
    std::string Kommentar;
};

struct TaskRecord {
    std::int32_t taskTime = 0;
    double fieldSize = 0.0;
    std::string fieldName;
    std::string cropName;
    std::string customerName;
    std::string fieldComment;
    std::string gridfileName;
};

struct LookupEntry {
    std::int32_t expid = 0;
    std::string name;
};

// Where the four files live. InFolder gives the terminal's layout: the destination folder
// followed directly by "\fields.txt" and so on; the folder text is used as it is.
struct TextFilePaths {
    std::string fields;
    std::string tasks;
    std::string crops;
    std::string customers;

    static TextFilePaths InFolder(const std::string& destinationFolder);
};

// An index that no lookup of the store hands out.
class StoreIndexError : public std::out_of_range {
public:
    using std::out_of_range::out_of_range;
};

class TextStore {
public:
    explicit TextStore(FileOps& ops = FileOps::System());

    void ResetStore();

    // Lookups: the first entry with exactly this name (case-sensitive), else a new entry
    // with the next id. They return the entry's index.
    std::size_t GetOrAddCustomer(const std::string& name);
    std::size_t GetOrAddCrop(const std::string& name);
    std::size_t GetOrAddField(const std::string& name);

    void SetFieldSize(std::size_t index, double size);
    void SetFieldCustomer(std::size_t index, const std::string& name, std::int32_t expid);
    void SetFieldCrop(std::size_t index, const std::string& name, std::int32_t expid);
    void AddTask(const TaskRecord& task);

    // Appends what the four files hold (absent files are skipped; they are opened through the
    // store's FileOps); the id counters then follow the last line of each file.
    void LoadTextFiles(const TextFilePaths& paths);

    // Each writer replaces its file and answers true only if the whole file was written.
    bool WriteCropsFile(const std::string& path) const;
    bool WriteTasksFile(const std::string& path) const;
    bool WriteFieldsFile(const std::string& path) const;
    bool WriteCustomersFile(const std::string& path) const;

    const std::vector<FieldRecord>& Fields() const { return fields_; }
    const std::vector<LookupEntry>& Customers() const { return customers_; }
    const std::vector<LookupEntry>& Crops() const { return crops_; }
    const std::vector<TaskRecord>& Tasks() const { return tasks_; }
    std::int32_t NextFieldId() const { return nextFieldId_; }
    std::int32_t NextCustomerId() const { return nextCustomerId_; }
    std::int32_t NextCropId() const { return nextCropId_; }

private:
    // Index of the first entry of each name, so lookups stay fast on large catalogs while
    // the first match still wins when files read back held duplicates.
    using FirstIndex = std::unordered_map<std::string, std::size_t>;

    static std::size_t GetOrAddEntry(std::vector<LookupEntry>& entries, FirstIndex& index, std::int32_t& nextId,
                                     const std::string& name);
    static void AppendEntry(std::vector<LookupEntry>& entries, FirstIndex& index, LookupEntry entry);
    void AppendField(FieldRecord record);
    FieldRecord& FieldAt(std::size_t index);

    void LoadFieldsFile(const std::string& path);
    void LoadTasksFile(const std::string& path);
    void LoadLookupFile(const std::string& path, std::vector<LookupEntry>& entries, FirstIndex& index,
                        std::int32_t& nextId);

    FileOps& ops_;
    std::int32_t nextFieldId_ = 1;
    std::int32_t nextCustomerId_ = 1;
    std::int32_t nextCropId_ = 1;
    std::vector<FieldRecord> fields_;
    std::vector<LookupEntry> customers_;
    std::vector<LookupEntry> crops_;
    std::vector<TaskRecord> tasks_;
    FirstIndex fieldIndex_;
    FirstIndex customerIndex_;
    FirstIndex cropIndex_;
};

}  // namespace nivra

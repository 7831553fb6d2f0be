// The publisher's text store: lookups and ids, the four files byte for byte, reading them
// back, and writes that fail.
#include "publisher/TextStore.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "ScratchFolder.h"

namespace nivra {
namespace {

const std::string kFieldsHeader =
    "\"Nr.\",\"Schlagname\",\"size\",\"Fruchart\",\"Kunde\",\"Kommentar\","
    "\"croplookupexpid\",\"expid\",\"customerlookupexpid\",\r\n";
const std::string kTasksHeader = "fieldName;fieldSize;cropName;customerName;fieldComment;gridfileName;taskTime\r\n";
const std::string kFiller = ";0;;;;;0;null\r\n";

std::string Repeat(const std::string& text, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) out += text;
    return out;
}

TaskRecord Task(const std::string& field, double size, const std::string& grid = "") {
    TaskRecord task;
    task.fieldName = field;
    task.fieldSize = size;
    task.cropName = "Winter wheat";
    task.customerName = "Customer A";
    task.fieldComment = "spring dose";
    task.gridfileName = grid;
    return task;
}

// The store of a small publish run: two customers, two crops, three fields, one task.
void FillSample(TextStore& store) {
    const std::size_t customer = store.GetOrAddCustomer("Customer A");
    store.GetOrAddCustomer("Customer B");
    store.GetOrAddCrop("Barley");
    const std::size_t crop = store.GetOrAddCrop("Winter wheat");
    const std::size_t north = store.GetOrAddField("North");
    store.SetFieldSize(north, 12.4);
    store.SetFieldCrop(north, store.Crops()[crop].name, store.Crops()[crop].expid);
    store.SetFieldCustomer(north, store.Customers()[customer].name, store.Customers()[customer].expid);
    store.GetOrAddField("South");
    const std::size_t east = store.GetOrAddField("East");
    store.SetFieldSize(east, 3.005);
    store.AddTask(Task("North", 12.4, "North_OffsetMap.grd"));
}

class TextStoreFiles : public ::testing::Test {
protected:
    TextFilePaths Paths() const {
        return {folder.File("fields.txt"), folder.File("tasks.txt"), folder.File("crops.txt"),
                folder.File("customers.txt")};
    }
    bool WriteAll(const TextStore& store) const {
        const TextFilePaths paths = Paths();
        const bool crops = store.WriteCropsFile(paths.crops);
        const bool tasks = store.WriteTasksFile(paths.tasks);
        const bool fields = store.WriteFieldsFile(paths.fields);
        const bool customers = store.WriteCustomersFile(paths.customers);
        return crops && tasks && fields && customers;
    }
    std::string Read(const std::string& name) const { return test::ScratchFolder::Read(folder.File(name)); }

    test::ScratchFolder folder;
};

TEST(TextStore, LookupsFindTheFirstEqualNameOrAddItWithTheNextId) {
    TextStore store;
    store.ResetStore();
    EXPECT_EQ(store.GetOrAddCustomer("A"), 0u);
    EXPECT_EQ(store.GetOrAddCustomer("B"), 1u);
    EXPECT_EQ(store.GetOrAddCustomer("A"), 0u);
    EXPECT_EQ(store.GetOrAddCustomer("a"), 2u);  // case-sensitive
    EXPECT_EQ(store.Customers()[2].expid, 3);
    EXPECT_EQ(store.NextCustomerId(), 4);

    EXPECT_EQ(store.GetOrAddCrop("Wheat"), 0u);
    EXPECT_EQ(store.GetOrAddCrop("Wheat"), 0u);
    EXPECT_EQ(store.Crops()[0].expid, 1);
    EXPECT_EQ(store.NextCropId(), 2);

    EXPECT_EQ(store.GetOrAddField("North"), 0u);
    EXPECT_EQ(store.GetOrAddField("north"), 1u);
    EXPECT_EQ(store.GetOrAddField("North"), 0u);
    const FieldRecord& added = store.Fields()[1];
    EXPECT_EQ(added.Nr, 1);
    EXPECT_EQ(added.expid, 2);
    EXPECT_EQ(added.size, -1.0);
    EXPECT_EQ(added.croplookupexpid, 0);
    EXPECT_EQ(added.customerlookupexpid, 0);
    EXPECT_TRUE(added.Fruchart.empty() && added.Kunde.empty() && added.Kommentar.empty());

    store.ResetStore();
    EXPECT_TRUE(store.Fields().empty() && store.Customers().empty() && store.Crops().empty() && store.Tasks().empty());
    EXPECT_EQ(store.GetOrAddField("North"), 0u);
    EXPECT_EQ(store.Fields()[0].expid, 1);
    EXPECT_EQ(store.GetOrAddCustomer("B"), 0u);
}

TEST(TextStore, SettersRejectAnIndexNoLookupGaveOut) {
    TextStore store;
    store.GetOrAddField("North");
    EXPECT_THROW(store.SetFieldSize(1, 2.0), StoreIndexError);
    EXPECT_THROW(store.SetFieldCustomer(7, "A", 1), StoreIndexError);
    EXPECT_THROW(store.SetFieldCrop(1, "W", 1), StoreIndexError);
    store.SetFieldSize(0, 2.0);
    EXPECT_EQ(store.Fields()[0].size, 2.0);
}

TEST(TextStore, FilePathsFollowTheDestinationFolderAsItIs) {
    const TextFilePaths paths = TextFilePaths::InFolder("C:\\Terminal");
    EXPECT_EQ(paths.fields, "C:\\Terminal\\fields.txt");
    EXPECT_EQ(paths.tasks, "C:\\Terminal\\tasks.txt");
    EXPECT_EQ(paths.crops, "C:\\Terminal\\crops.txt");
    EXPECT_EQ(paths.customers, "C:\\Terminal\\customers.txt");
    EXPECT_EQ(TextFilePaths::InFolder("C:\\Terminal\\").fields, "C:\\Terminal\\\\fields.txt");
}

TEST_F(TextStoreFiles, AnEmptyStoreWritesHeadersAndNinetyNineFillerTaskLines) {
    TextStore store;
    ASSERT_TRUE(WriteAll(store));
    EXPECT_EQ(Read("crops.txt"), "\"name\",\"expid\",\r\n");
    EXPECT_EQ(Read("customers.txt"), "\"customer\",\"expid\",\r\n");
    EXPECT_EQ(Read("fields.txt"), kFieldsHeader);
    EXPECT_EQ(Read("tasks.txt"), kTasksHeader + Repeat(kFiller, 99));
}

TEST_F(TextStoreFiles, WritesTheTerminalsFormatsByteForByte) {
    TextStore store;
    FillSample(store);
    ASSERT_TRUE(WriteAll(store));
    EXPECT_EQ(Read("crops.txt"),
              "\"name\",\"expid\",\r\n"
              "\"Barley\",\"1\",\r\n"
              "\"Winter wheat\",\"2\",\r\n");
    EXPECT_EQ(Read("customers.txt"),
              "\"customer\",\"expid\",\r\n"
              "\"Customer A\",\"1\",\r\n"
              "\"Customer B\",\"2\",\r\n");
    EXPECT_EQ(Read("fields.txt"),
              kFieldsHeader +
                  "\"0\",\"North\",\"12.40\",\"Winter wheat\",\"Customer A\",,\"2\",\"1\",\"1\",\r\n"
                  "\"1\",\"South\",\"-1.00\",,,,,\"2\",,\r\n"
                  "\"2\",\"East\",\"3.00\",,,,,\"3\",,\r\n");  // 3.005 is stored below 3.005
    EXPECT_EQ(Read("tasks.txt"), kTasksHeader +
                                     "North;12.40;Winter wheat;Customer A;spring dose;North_OffsetMap.grd;0;null\r\n" +
                                     Repeat(kFiller, 98));
}

TEST_F(TextStoreFiles, IdsBelowOneAndTextsAreWrittenAsTheyAre) {
    TextStore store;
    // Records like this only come from files read back; write one and check its pieces.
    test::ScratchFolder::Write(folder.File("fields.txt"),
                               kFieldsHeader + "\"-4\",\"A;B\",\"0.5\",,,\"note\",\"0\",\"-2\",\"0\",\r\n");
    test::ScratchFolder::Write(folder.File("crops.txt"), "\"name\",\"expid\",\r\n\"Rye\",\"0\",\r\n");
    store.LoadTextFiles(Paths());
    store.AddTask(Task("Field, with comma", -0.004));
    ASSERT_TRUE(WriteAll(store));
    EXPECT_EQ(Read("fields.txt"), kFieldsHeader + "\"-4\",\"A;B\",\"0.50\",,,\"note\",,,,\r\n");
    EXPECT_EQ(Read("crops.txt"), "\"name\",\"expid\",\r\n\"Rye\",,\r\n");
    const std::string taskLine = "Field, with comma;-0.00;Winter wheat;Customer A;spring dose;;0;null\r\n";
    EXPECT_EQ(Read("tasks.txt"), kTasksHeader + taskLine + Repeat(kFiller, 98));
}

// A line break inside a text would split its record and be read back as a made-up one.
TEST_F(TextStoreFiles, LineBreaksInsideTextsAreWrittenAsBlanks) {
    TextStore store;
    const std::size_t field = store.GetOrAddField("North\r\nfield");
    store.SetFieldCrop(field, "Winter\nwheat", store.Crops()[store.GetOrAddCrop("Winter\nwheat")].expid);
    store.SetFieldCustomer(field, "Customer\rA", store.Customers()[store.GetOrAddCustomer("Customer\rA")].expid);
    TaskRecord task = Task("North\r\nfield", 1.5);
    task.fieldComment = "first line\nsecond line; third, \"quoted\"";
    store.AddTask(task);
    ASSERT_TRUE(WriteAll(store));
    EXPECT_EQ(Read("tasks.txt"),
              kTasksHeader +
                  "North  field;1.50;Winter wheat;Customer A;first line second line; third, \"quoted\";;0;null\r\n" +
                  Repeat(kFiller, 98));
    EXPECT_EQ(
        Read("fields.txt"),
        kFieldsHeader + "\"0\",\"North  field\",\"-1.00\",\"Winter wheat\",\"Customer A\",,\"1\",\"1\",\"1\",\r\n");
    EXPECT_EQ(Read("crops.txt"), "\"name\",\"expid\",\r\n\"Winter wheat\",\"1\",\r\n");

    TextStore read;
    read.LoadTextFiles(Paths());
    ASSERT_EQ(read.Tasks().size(), 1u);
    EXPECT_EQ(read.Tasks()[0].fieldName, "North  field");
    ASSERT_EQ(read.Fields().size(), 1u);
    EXPECT_EQ(read.Crops().size(), 1u);
    EXPECT_EQ(read.Customers().size(), 1u);
}

TEST_F(TextStoreFiles, OnlyTheFirstNinetyNineTasksAreWritten) {
    TextStore store;
    std::string expected = kTasksHeader;
    for (int i = 0; i < 120; ++i) {
        TaskRecord task;
        task.fieldName = "F" + std::to_string(i);
        task.fieldSize = i;
        store.AddTask(task);
        if (i < 99) expected += "F" + std::to_string(i) + ";" + std::to_string(i) + ".00;;;;;0;null\r\n";
    }
    ASSERT_TRUE(store.WriteTasksFile(folder.File("tasks.txt")));
    EXPECT_EQ(Read("tasks.txt"), expected);
}

TEST_F(TextStoreFiles, WrittenFilesReadBackIntoTheSameRecordsAndIdsContinue) {
    TextStore written;
    FillSample(written);
    written.AddTask(Task("South", 0.0));
    ASSERT_TRUE(WriteAll(written));

    TextStore read;
    read.GetOrAddField("stale");
    read.ResetStore();
    read.LoadTextFiles(Paths());
    ASSERT_EQ(read.Fields().size(), written.Fields().size());
    for (std::size_t i = 0; i < read.Fields().size(); ++i) {
        const FieldRecord& a = read.Fields()[i];
        const FieldRecord& b = written.Fields()[i];
        EXPECT_EQ(a.Nr, b.Nr) << i;
        EXPECT_EQ(a.expid, b.expid) << i;
        EXPECT_EQ(a.croplookupexpid, b.croplookupexpid) << i;
        EXPECT_EQ(a.customerlookupexpid, b.customerlookupexpid) << i;
        EXPECT_NEAR(a.size, b.size, 0.006) << i;  // written with two decimals
        EXPECT_EQ(a.Schlagname, b.Schlagname) << i;
        EXPECT_EQ(a.Fruchart, b.Fruchart) << i;
        EXPECT_EQ(a.Kunde, b.Kunde) << i;
        EXPECT_EQ(a.Kommentar, b.Kommentar) << i;
    }
    ASSERT_EQ(read.Tasks().size(), 2u);  // the 97 filler lines are dropped
    const TaskRecord& task = read.Tasks()[0];
    EXPECT_EQ(task.fieldName, "North");
    EXPECT_EQ(task.fieldSize, 12.4);
    EXPECT_EQ(task.cropName, "Winter wheat");
    EXPECT_EQ(task.customerName, "Customer A");
    EXPECT_EQ(task.fieldComment, "spring dose");
    EXPECT_EQ(task.gridfileName, "North_OffsetMap.grd");
    EXPECT_EQ(task.taskTime, 0);
    EXPECT_EQ(read.Tasks()[1].fieldName, "South");
    ASSERT_EQ(read.Crops().size(), 2u);
    EXPECT_EQ(read.Crops()[1].name, "Winter wheat");
    EXPECT_EQ(read.Crops()[1].expid, 2);
    ASSERT_EQ(read.Customers().size(), 2u);
    EXPECT_EQ(read.Customers()[0].name, "Customer A");

    // Known names keep their ids; new ones continue after the last lines read.
    EXPECT_EQ(read.GetOrAddField("South"), 1u);
    EXPECT_EQ(read.Fields()[read.GetOrAddField("West")].expid, 4);
    EXPECT_EQ(read.Fields().back().Nr, 3);
    EXPECT_EQ(read.Crops()[read.GetOrAddCrop("Oats")].expid, 3);
    EXPECT_EQ(read.Customers()[read.GetOrAddCustomer("Customer C")].expid, 3);
    EXPECT_EQ(read.GetOrAddCustomer("Customer A"), 0u);
}

TEST_F(TextStoreFiles, CountersFollowTheLastLineReadAndTheFirstOfTwinNamesWins) {
    test::ScratchFolder::Write(folder.File("fields.txt"), kFieldsHeader +
                                                              "\"7\",\"A\",\"1.00\",,,,,\"8\",,\r\n"
                                                              "\"2\",\"B\",\"1.00\",,,,,\"3\",,\r\n"
                                                              "\"9\",\"A\",\"1.00\",,,,,\"10\",,\r\n");
    test::ScratchFolder::Write(folder.File("crops.txt"), "\"name\",\"expid\",\r\n\"W\",\"5\",\r\n\"W\",\"2\",\r\n");
    test::ScratchFolder::Write(folder.File("customers.txt"), "\"customer\",\"expid\",\r\n\"C\",\"x\",\r\n");
    TextStore store;
    store.LoadTextFiles(Paths());
    EXPECT_EQ(store.NextFieldId(), 11);
    EXPECT_EQ(store.GetOrAddField("A"), 0u);
    EXPECT_EQ(store.NextCropId(), 3);
    EXPECT_EQ(store.GetOrAddCrop("W"), 0u);
    ASSERT_EQ(store.Customers().size(), 1u);
    EXPECT_EQ(store.Customers()[0].expid, 0);  // unreadable id keeps its initial value
    EXPECT_EQ(store.NextCustomerId(), 1);
}

TEST_F(TextStoreFiles, MissingOrEmptyFilesReadBackAsNothing) {
    test::ScratchFolder::Write(folder.File("tasks.txt"), "");
    test::ScratchFolder::Write(folder.File("crops.txt"), "\"name\",\"expid\",\r\n");
    TextStore store;
    store.LoadTextFiles(Paths());
    EXPECT_TRUE(store.Fields().empty() && store.Tasks().empty() && store.Crops().empty() && store.Customers().empty());
    EXPECT_EQ(store.NextFieldId(), 1);
    EXPECT_EQ(store.NextCropId(), 1);
}

TEST_F(TextStoreFiles, LongLinesReadBackWholeWithoutBogusRecords) {
    const std::string longName(2000, 'n');
    TextStore written;
    written.GetOrAddField(longName);
    ASSERT_TRUE(written.WriteFieldsFile(folder.File("fields.txt")));
    TextStore read;
    read.LoadTextFiles(Paths());
    ASSERT_EQ(read.Fields().size(), 1u);
    EXPECT_EQ(read.Fields()[0].Schlagname, longName);
}

// Fails one chosen system call of every file written through it.
class FailingOps : public FileOps {
public:
    enum class Step { Write, Flush, Close };
    explicit FailingOps(Step step) : step_(step) {}

    std::size_t Write(std::FILE* file, const char* data, std::size_t size) override {
        return step_ == Step::Write ? FileOps::Write(file, data, size / 2) : FileOps::Write(file, data, size);
    }
    int Flush(std::FILE* file) override {
        const int result = FileOps::Flush(file);
        return step_ == Step::Flush ? -1 : result;
    }
    int Close(std::FILE* file) override {
        const int result = FileOps::Close(file);
        return step_ == Step::Close ? -1 : result;
    }

private:
    Step step_;
};

TEST_F(TextStoreFiles, AFailedWriteIsReportedAndLeavesNoHalfWrittenFile) {
    for (FailingOps::Step step : {FailingOps::Step::Write, FailingOps::Step::Flush, FailingOps::Step::Close}) {
        FailingOps ops(step);
        TextStore store(ops);
        FillSample(store);
        EXPECT_FALSE(WriteAll(store)) << static_cast<int>(step);
        for (const char* name : {"fields.txt", "tasks.txt", "crops.txt", "customers.txt"}) {
            EXPECT_FALSE(std::filesystem::exists(folder.File(name)))
                << name << " after failing step " << static_cast<int>(step);
        }
    }
}

TEST_F(TextStoreFiles, AFullDiskIsReportedAsAFailedWrite) {
    if (!std::filesystem::exists("/dev/full")) GTEST_SKIP() << "no /dev/full here";
    TextStore store;
    FillSample(store);
    EXPECT_FALSE(store.WriteTasksFile("/dev/full"));
    EXPECT_FALSE(store.WriteFieldsFile("/dev/full"));
    EXPECT_TRUE(std::filesystem::is_character_file("/dev/full"));  // never removed
}

TEST_F(TextStoreFiles, AnUnwritableDestinationFailsOnlyItsOwnFiles) {
    TextStore store;
    FillSample(store);
    const std::string missing = folder.File("no such folder");
    EXPECT_FALSE(store.WriteCropsFile(missing + "/crops.txt"));
    EXPECT_FALSE(store.WriteFieldsFile(missing + "/fields.txt"));
    EXPECT_TRUE(store.WriteTasksFile(folder.File("tasks.txt")));
    EXPECT_FALSE(Read("tasks.txt").empty());
}

}  // namespace
}  // namespace nivra

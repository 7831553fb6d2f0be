// Publishing a host catalog into the terminal's four text files: client and farm trees, the
// order and numbering of every list, tasks, keeping earlier data, and failing files.
#include "PublisherFixture.h"

namespace pubtest {
namespace {

constexpr const char* kUnassigned = "< Unassigned Client >";

Json ClientTree() {
    return Json{
        {"nodes",
         {Node("u", "client", "", kUnassigned), Node("c1", "client", "", "Hof Berger"),
          Node("f1", "farm", "c1", "Nordhof"), Hectares(Node("fld1", "field", "f1", "North Field"), 12.4),
          Hectares(CropZone("cz1", "fld1", "wheat"), 5.0), Node("fld2", "field", "f1", "South"),
          Node("f2", "farm", "u", "Lone Farm"), Hectares(Node("fld3", "field", "f2", "Meadow"), 3.0)}},
        {"crops", {{{"key", "wheat"}, {"name", "Winter wheat"}}, {{"key", "barley"}, {"name", "Spring barley"}}}},
        {"operations", {Operation("cz1", "spring dose", "RX1")}},
        {"prescriptions", {{{"id", "RX1"}, {"zones", {RectZone(0, 0, 210, 60, {{"N", 40}})}}}}}};
}

using PublishRun = Publisher;

TEST_F(PublishRun, ClientTreeMakesClientsTheCustomers) {
    MakePublisher();
    EXPECT_TRUE(Publish(ClientTree()));
    EXPECT_EQ(Read("customers.txt"),
              std::string(kCustomersHeader) + Lines({"\"< Unassigned Client >\",\"1\",", "\"Hof Berger\",\"2\","}));
    EXPECT_EQ(Read("crops.txt"),
              std::string(kCropsHeader) + Lines({"\"Winter wheat\",\"1\",", "\"Spring barley\",\"2\","}));
    EXPECT_EQ(Read("fields.txt"),
              std::string(kFieldsHeader) +
                  Lines({
                      "\"0\",\"North Field\",\"12.40\",\"Winter wheat\",\"Hof Berger\",,\"1\",\"1\",\"2\",",
                      "\"1\",\"South\",\"-1.00\",,\"Hof Berger\",,,\"2\",\"2\",",
                      "\"2\",\"Meadow\",\"3.00\",,\"< Unassigned Client >\",,,\"3\",\"1\",",
                  }));
    EXPECT_EQ(Read("tasks.txt"),
              TasksFile({"North Field;5.00;Winter wheat;Hof Berger;spring dose;North_Field_OffsetMap.grd;0;null"}));
    EXPECT_TRUE(Exists("North_Field_OffsetMap.grd"));
}

TEST_F(PublishRun, TreeWithOnlyTheUnassignedClientMakesFarmsTheCustomers) {
    MakePublisher();
    Json plan{{"nodes",
               {Node("u", "client", "", kUnassigned), Node("f1", "farm", "u", "Nordhof"),
                Hectares(Node("fld1", "field", "f1", "North"), 2.0), CropZone("cz1", "fld1", "wheat")}},
              {"crops", {{{"key", "wheat"}, {"name", "Winter wheat"}}}},
              {"operations", {Operation("cz1")}}};
    EXPECT_TRUE(Publish(plan));
    EXPECT_EQ(Read("customers.txt"), std::string(kCustomersHeader) + Lines({"\"Nordhof\",\"1\","}));
    EXPECT_EQ(Read("fields.txt"),
              std::string(kFieldsHeader) +
                  Lines({"\"0\",\"North\",\"2.00\",\"Winter wheat\",\"Nordhof\",,\"1\",\"1\",\"1\","}));
    EXPECT_EQ(Read("tasks.txt"), TasksFile({"North;0.00;Winter wheat;Nordhof;;;0;null"}));
}

// A crop zone listed before its field fills the field from the crop zone; a crop zone whose
// crop is unknown is passed over and does not create its field.
TEST_F(PublishRun, CropZonesBeforeTheirFieldAndWithUnknownCrops) {
    MakePublisher();
    Json plan{{"nodes",
               {Node("f", "farm", "", "Hof"), Hectares(CropZone("czEast", "east", "wheat"), 4.5),
                CropZone("czWest", "west", "nope"), Node("a", "field", "f", "A"),
                Hectares(Node("east", "field", "f", "East"), 9.0), Node("west", "field", "f", "West")}},
              {"crops", {{{"key", "wheat"}, {"name", "Winter wheat"}}}}};
    EXPECT_TRUE(Publish(plan));
    EXPECT_EQ(Read("fields.txt"),
              std::string(kFieldsHeader) + Lines({
                                               "\"0\",\"East\",\"4.50\",\"Winter wheat\",\"Hof\",,\"1\",\"1\",\"1\",",
                                               "\"1\",\"A\",\"-1.00\",,\"Hof\",,,\"2\",\"1\",",
                                               "\"2\",\"West\",\"-1.00\",,\"Hof\",,,\"3\",\"1\",",
                                           }));
}

// Only operations on crop zones become tasks; two on one field both name the field's grid,
// and the later prescription's grid is the one left on disk.
TEST_F(PublishRun, OperationsBecomeTasksOnlyOnCropZones) {
    MakePublisher();
    Json plan{{"nodes",
               {Node("f", "farm", "", "Hof"), Node("fld", "field", "f", "Big Field"), CropZone("cz1", "fld", "wheat"),
                CropZone("cz2", "fld", "wheat")}},
              {"crops", {{{"key", "wheat"}, {"name", "Winter wheat"}}}},
              {"operations",
               {Operation("fld", "on the field"), Operation("", "no node"), nullptr, Operation("cz1", "first", "RX1"),
                Operation("cz2", "second", "RX2"), Operation("cz2", "no match", "rx2")}},
              {"prescriptions",
               {{{"id", "RX1"}, {"zones", {RectZone(0, 0, 60, 60, {{"N", 40}})}}},
                {{"id", "RX2"}, {"zones", {RectZone(0, 0, 60, 60, {{"N", 70}})}}}}}};
    EXPECT_TRUE(Publish(plan));
    EXPECT_EQ(Read("tasks.txt"), TasksFile({"Big Field;0.00;Winter wheat;Hof;first;Big_Field_OffsetMap.grd;0;null",
                                            "Big Field;0.00;Winter wheat;Hof;second;Big_Field_OffsetMap.grd;0;null",
                                            "Big Field;0.00;Winter wheat;Hof;no match;;0;null"}));
    std::string grid = Read("Big_Field_OffsetMap.grd");
    EXPECT_NE(grid.find("70.000000 70.000000 \r\n\r\n70.000000 70.000000 \r\n\r\n"), std::string::npos) << grid;
}

TEST_F(PublishRun, EmptyCatalogWritesHeadersAndFillers) {
    MakePublisher();
    EXPECT_TRUE(Publish(Json::object()));
    EXPECT_EQ(Read("crops.txt"), kCropsHeader);
    EXPECT_EQ(Read("customers.txt"), kCustomersHeader);
    EXPECT_EQ(Read("fields.txt"), kFieldsHeader);
    EXPECT_EQ(Read("tasks.txt"), TasksFile({}));
}

TEST_F(PublishRun, OnlyTheFirst99TasksAreWritten) {
    MakePublisher();
    Json plan{{"nodes", {Node("f", "farm", "", "Hof"), Node("fld", "field", "f", "F"), CropZone("cz", "fld", "wheat")}},
              {"operations", Json::array()}};
    for (int i = 0; i < 120; ++i) plan["operations"].push_back(Operation("cz", "t" + std::to_string(i)));
    EXPECT_TRUE(Publish(plan));
    std::vector<std::string> tasks;
    for (int i = 0; i < 99; ++i) tasks.push_back("F;0.00;;Hof;t" + std::to_string(i) + ";;0;null");
    EXPECT_EQ(Read("tasks.txt"), TasksFile(tasks));
}

// "ClearData" = "No": the files are read back, ids continue after the last lines, and the
// same operations are appended again.
TEST_F(PublishRun, KeepingTextDataTwiceContinuesTheIds) {
    MakePublisher();
    ChooseOption(L"ClearData", "No");
    Json plan{
        {"nodes", {Node("f", "farm", "", "Hof"), Node("fld", "field", "f", "North"), CropZone("cz", "fld", "wheat")}},
        {"crops", {{{"key", "wheat"}, {"name", "Winter wheat"}}}},
        {"operations", {Operation("cz", "dose")}}};
    EXPECT_TRUE(Publish(plan));
    plan["nodes"].push_back(Node("new", "field", "f", "New"));
    plan["crops"].push_back({{"key", "rye"}, {"name", "Rye"}});
    plan["nodes"].push_back(Node("f2", "farm", "", "Second Farm"));
    EXPECT_TRUE(Publish(plan));
    EXPECT_EQ(Read("fields.txt"),
              std::string(kFieldsHeader) + Lines({
                                               "\"0\",\"North\",\"-1.00\",\"Winter wheat\",\"Hof\",,\"1\",\"1\",\"1\",",
                                               "\"1\",\"New\",\"-1.00\",,\"Hof\",,,\"2\",\"1\",",
                                           }));
    EXPECT_EQ(Read("crops.txt"), std::string(kCropsHeader) + Lines({"\"Winter wheat\",\"1\",", "\"Rye\",\"2\","}));
    EXPECT_EQ(Read("customers.txt"),
              std::string(kCustomersHeader) + Lines({"\"Hof\",\"1\",", "\"Second Farm\",\"2\","}));
    EXPECT_EQ(Read("tasks.txt"),
              TasksFile({"North;0.00;Winter wheat;Hof;dose;;0;null", "North;0.00;Winter wheat;Hof;dose;;0;null"}));
}

TEST_F(PublishRun, OtherClearDataValuesStartFromEmptyLists) {
    for (const char* value : {"Yes", "", "no", "No "}) {
        SCOPED_TRACE(value);
        MakePublisher();
        ChooseOption(L"ClearData", value);
        Json plan{{"nodes",
                   {Node("f", "farm", "", "Hof"), Node("fld", "field", "f", "North"), CropZone("cz", "fld", "wheat")}},
                  {"operations", {Operation("cz", "dose")}}};
        EXPECT_TRUE(Publish(plan));
        EXPECT_TRUE(Publish(plan));
        EXPECT_EQ(Read("tasks.txt"), TasksFile({"North;0.00;;Hof;dose;;0;null"}));
        publisher.Reset();
    }
}

// An option whose value comes back as a null text reads as "" and so as no match.
TEST_F(PublishRun, NullClearDataValueStartsFromEmptyLists) {
    MakePublisher();
    ChooseOption(L"ClearData", "No");
    ComPtr<IvnProperties> options;
    ASSERT_EQ(S_OK, publisher->get_Options(options.GetAddressOf()));
    ComPtr<IvnProperty> option;
    Variant key = Variant::Text(L"ClearData");
    ASSERT_EQ(S_OK, options->get_Item(*key.Get(), option.GetAddressOf()));
    Json plan{
        {"nodes", {Node("f", "farm", "", "Hof"), Node("fld", "field", "f", "North"), CropZone("cz", "fld", "wheat")}},
        {"operations", {Operation("cz", "dose")}}};
    EXPECT_TRUE(Publish(plan));
    ASSERT_EQ(S_OK, host.Configure(option.Get(), Json{{"nullValue", true}}.dump()));
    EXPECT_TRUE(Publish(plan));
    EXPECT_EQ(Read("tasks.txt"), TasksFile({"North;0.00;;Hof;dose;;0;null"}));
}

// A file that cannot be opened makes the result false; the other files are still written.
TEST_F(PublishRun, UnwritableFileReportsFailureAndWritesTheOthers) {
    MakePublisher();
    std::filesystem::create_directory(FileIn("tasks.txt"));
    EXPECT_FALSE(Publish(ClientTree()));
    EXPECT_EQ(Read("crops.txt"),
              std::string(kCropsHeader) + Lines({"\"Winter wheat\",\"1\",", "\"Spring barley\",\"2\","}));
    EXPECT_TRUE(std::filesystem::is_directory(FileIn("tasks.txt")));
    EXPECT_NE(Read("fields.txt").find("North Field"), std::string::npos);
    EXPECT_NE(Read("customers.txt").find("Hof Berger"), std::string::npos);
}

TEST_F(PublishRun, MissingDestinationFolderReportsFailure) {
    MakePublisher();
    SetDestination(Destination() + "\\missing");
    EXPECT_FALSE(Publish(Json::object()));
    EXPECT_FALSE(std::filesystem::exists(FileIn("missing")));
}

TEST_F(PublishRun, NullArguments) {
    MakePublisher();
    VARIANT_BOOL ok = VARIANT_TRUE;
    EXPECT_EQ(E_POINTER, publisher->Publish(nullptr, 0, 0, &ok));
    EXPECT_FALSE(Exists("tasks.txt"));
    ComPtr<IvnCatalog> catalog = Catalog(ClientTree());
    EXPECT_EQ(E_INVALIDARG, publisher->Publish(catalog.Get(), 0, 0, nullptr));
    for (const char* name : {"crops.txt", "tasks.txt", "fields.txt", "customers.txt"})
        EXPECT_TRUE(Exists(name)) << name;
}

}  // namespace
}  // namespace pubtest

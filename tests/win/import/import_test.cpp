// A terminal folder imported through the driver into the reference host: what is listed,
// what each ticked file becomes (operation, field, farm, day, points, values, markers) and
// the device model shared by every operation of one driver.
#include <cmath>

#include "fixtures/X87Precision.h"
#include "ImportFixture.h"
#include "TerminalFolder.h"

namespace importtest {
namespace {

const bool kZone = UseSystemZone();

const char* const kValueKeys[] = {"Biomass_Index", "N_Target", "N_Applied", "ApplFactor", "Nc", "Rate"};

class TerminalImport : public ImportTest {
protected:
    void SetUp() override {
        ImportTest::SetUp();
        WriteBinaryLog(folder.File("Log_North_Field_260412.log"));
        WriteLegacyLog(folder.File("Log_Mill_Meadow_260418.log"));
        WriteLines(
            folder.File("Log_South_Slope_260420.csv"),
            {kCsvHeader, "7.4890000,51.4902000,121,2.50,120,108,3,,,,,,4.20",
             "7.4891000,51.4903000,122,2.60,121,109,3,,3,,,,4.20", "7.4892000,51.4904000,123,2.70,122,110,3,,,,,1,", "",
             "8.0000000,90.0000000,124,2.80,123,111,3,1,,,,,4.40",
             "180.0000000,-89.9000000,125,2.90,124,112,3,,,,,,4.40"});
        WriteLines(folder.File("fields.txt"),
                   {"Nr,Schlagname,size,Crop,Kunde", "1,North Field,12.5,Wheat,Hill Farm",
                    "2,Mill Meadow,n/a,Barley,Hill Farm", "3,South Slope,7.25,Rape,Vale Farm"});
    }

    static const Json* Named(const Json& operations, const std::string& name) {
        for (const Json& op : operations)
            if (op["name"] == name) return &op;
        return nullptr;
    }
    static const Json* Node(const Json& store, const std::string& key) {
        for (const Json& node : store["catalog"]["fields"])
            if (node["key"] == key) return &node;
        return nullptr;
    }
};

TEST_F(TerminalImport, ListsLogsBeforeCsvFilesWithTheirSizes) {
    ASSERT_HRESULT_SUCCEEDED(List(folder.Path().string()));
    auto names = ListedNames();
    ASSERT_EQ(names.size(), 3u);
    EXPECT_EQ(names[2], "Log_South_Slope_260420.csv");
    EXPECT_NE(std::find(names.begin(), names.begin() + 2, "Log_North_Field_260412.log"), names.begin() + 2);
    // The same folder with a trailing backslash gives the same paths.
    const std::string first = listed[0].path;
    ASSERT_HRESULT_SUCCEEDED(List(folder.Path().string() + "\\"));
    EXPECT_EQ(listed[0].path, first);
    EXPECT_EQ(first, folder.Path().string() + "\\" + ListedNames()[0]);

    ComPtr<IvnProperties> properties;
    ASSERT_HRESULT_SUCCEEDED(listed[2].file->Properties(properties.GetAddressOf()));
    VARIANT key;
    VariantInit(&key);
    key.vt = VT_BSTR;
    key.bstrVal = SysAllocString(L"Size");
    ComPtr<IvnProperty> size;
    ASSERT_HRESULT_SUCCEEDED(properties->get_Item(key, size.GetAddressOf()));
    VariantClear(&key);
    ASSERT_TRUE(size);
    Bstr text;
    ASSERT_HRESULT_SUCCEEDED(size->get_Value(text.Out()));
    char expected[32];
    snprintf(expected, sizeof expected, "%.2f KB",
             fixtures::ReadAll(folder.File("Log_South_Slope_260420.csv")).size() / 1024.0);
    EXPECT_EQ(nivra::BstrToAnsi(text.Get()), expected);
}

TEST_F(TerminalImport, PrepareFileListDeclaresTheSizeColumnEvenWithoutAResultPointer) {
    fileList = host.Create<IvnFileList>("fileList");
    EXPECT_EQ(driver->PrepareFileList(fileList.Get(), nullptr), E_INVALIDARG);
    VARIANT_BOOL result = VARIANT_FALSE;
    EXPECT_EQ(driver->PrepareFileList(fileList.Get(), &result), S_OK);
    EXPECT_EQ(result, VARIANT_TRUE);
    Json list = Describe(fileList.Get());
    ASSERT_EQ(list["columns"].size(), 2u) << list.dump();
    EXPECT_EQ(list["columns"][0]["key"], "Size");
    EXPECT_EQ(list["columns"][0]["caption"], "File Size");
    EXPECT_EQ(list["columns"][0]["width"], 80);
}

TEST_F(TerminalImport, EveryTickedFileBecomesAnOperationOnItsFieldAndDay) {
    ASSERT_HRESULT_SUCCEEDED(List(folder.Path().string()));
    TickAll();
    ASSERT_EQ(Import(), S_OK) << lastCalls;
    const Json store = Store();
    const Json& operations = store["catalog"]["operations"];
    ASSERT_EQ(operations.size(), 3u) << store.dump(1);

    struct Expected {
        const char* name;
        const char* field;
        const char* farm;
        int year, month, day;
    } const cases[] = {
        {"Log_North_Field_260412", "North Field", "Hill Farm", 2026, 4, 12},
        {"Log_Mill_Meadow_260418", "Mill Meadow", "Hill Farm", 2026, 4, 18},
        {"Log_South_Slope_260420", "South Slope", "Vale Farm", 2026, 4, 20},
    };
    for (const Expected& c : cases) {
        SCOPED_TRACE(c.name);
        const Json* op = Named(operations, c.name);
        ASSERT_TRUE(op);
        EXPECT_EQ((*op)["kind"], "Application");
        EXPECT_EQ((*op)["dataName"], c.name);
        EXPECT_EQ((*op)["node"], c.field);
        EXPECT_EQ((*op)["properties"][0]["key"], "Field");
        EXPECT_EQ((*op)["properties"][0]["value"], c.field);
        const Json* node = Node(store, c.field);
        ASSERT_TRUE(node);
        EXPECT_EQ((*node)["parent"], c.farm);
        EXPECT_EQ((*node)["kind"], 64);
        ASSERT_FALSE((*op)["points"].empty());
        for (const Json& point : (*op)["points"])
            EXPECT_EQ(point["time"].get<double>(), LocalMidnight(c.year, c.month, c.day));
        EXPECT_EQ((*op)["markerKinds"].size(), 5u);
        EXPECT_EQ((*op)["extent"]["slot12"], Json::array({0}));
        // The zone's standard offset, east positive (the C runtime counts seconds west).
        EXPECT_EQ((*op)["extent"]["timeZoneHours"], Json::array({-static_cast<double>(_timezone) / 3600.0}));
    }
    // Areas from fields.txt: an unreadable size repeats the line before's.
    EXPECT_EQ((*Node(store, "North Field"))["area"]["value"], 12.5);
    EXPECT_EQ((*Node(store, "North Field"))["area"]["code"], 66);
    EXPECT_EQ((*Node(store, "Mill Meadow"))["area"]["value"], 12.5);
    EXPECT_EQ((*Node(store, "Vale Farm"))["kind"], 128);
    // The host was asked once for its summary; the progress ran to its end.
    EXPECT_EQ(store["session"]["summaries"], Json::parse(R"([{"file":"Summary.zqs","arg":32767}])"));
    EXPECT_EQ(Progress()["finished"], 1);
}

TEST_F(TerminalImport, CsvRowsBecomePointsWithSixValuesAndMarkerEvents) {
    ASSERT_HRESULT_SUCCEEDED(List(folder.Path().string()));
    Tick({"Log_South_Slope_260420.csv"});
    ASSERT_EQ(Import(), S_OK);
    const Json operations = Operations();
    ASSERT_EQ(operations.size(), 1u);
    const Json& points = operations[0]["points"];
    // Six rows, one empty line (the row before once more), one at latitude 90 skipped.
    ASSERT_EQ(points.size(), 5u) << points.dump(1);

    struct Expected {
        double lon, lat, alt, bi, n, nas, factor, nc;
        std::vector<std::string> events;
    } const rows[] = {
        {7.489, 51.4902, 121, 2.5, 120, 108, 3, 4.2, {}},
        {7.4891, 51.4903, 122, 2.6, 121, 109, 3, 4.2, {"Marker2"}},
        {7.4892, 51.4904, 123, 2.7, 122, 110, 3, 4.2, {"Calibration"}},
        {7.4892, 51.4904, 123, 2.7, 122, 110, 3, 4.2, {}},
        // The skipped row's marker 1 was never cleared, so it shows on the next point.
        {180.0, -89.9, 125, 2.9, 124, 112, 3, 4.4, {"Marker1"}},
    };
    for (std::size_t i = 0; i < points.size(); ++i) {
        SCOPED_TRACE("point " + std::to_string(i + 1));
        const Json& p = points[i];
        const Expected& e = rows[i];
        EXPECT_DOUBLE_EQ(p["x"].get<double>(), e.lon);
        EXPECT_DOUBLE_EQ(p["y"].get<double>(), e.lat);
        EXPECT_EQ(p["arg4"], 1);
        EXPECT_EQ(p["arg5"], -1);
        EXPECT_EQ(p["measures"][0]["code"], 277);
        EXPECT_EQ(p["measures"][3]["code"], 33);
        EXPECT_DOUBLE_EQ(p["measures"][3]["value"].get<double>(), e.alt);
        const double expected[] = {e.bi, e.n, e.nas, e.factor, e.nc, e.nas * 100 / e.nc};
        for (int k = 0; k < 6; ++k) EXPECT_DOUBLE_EQ(ValueOf(p, kValueKeys[k]), expected[k]) << kValueKeys[k];
        EXPECT_EQ(p["values"]["N_Target"]["code"], 36);
        EXPECT_EQ(p["values"]["N_Target"]["perCode"], 66);
        EXPECT_EQ(p["values"]["Nc"]["code"], 31);
        std::vector<std::string> events;
        for (const Json& ev : p["events"]) events.push_back(ev[0]);
        EXPECT_EQ(events, e.events);
        EXPECT_TRUE(p["ended"].get<bool>());
    }
    // Progress: range over the ticked file's size, a position after every row, to the file's end.
    const Json progressJson = Progress();
    const double size = static_cast<double>(fixtures::ReadAll(folder.File("Log_South_Slope_260420.csv")).size());
    EXPECT_EQ(progressJson["ranges"], Json::array({Json::array({2, 0.0, size})}));
    ASSERT_EQ(progressJson["positions"].size(), 6u);
    EXPECT_EQ(progressJson["positions"].back(), size);
}

TEST_F(TerminalImport, RatesDoNotDependOnTheCallersX87Precision) {
    // N applied and N content whose rate N applied x 100 / N content an x87 at 64 bits rounds
    // twice, one unit in the last place away from the rate rounded once; then ordinary pairs.
    struct Pair {
        int nApplied;
        const char* nContent;
    } pairs[] = {{197, "20.1"}, {167, "22.2"}, {57, "26.4"},  {114, "26.4"}, {228, "26.4"},
                 {125, "28.4"}, {250, "28.4"}, {265, "29.3"}, {120, "4.20"}, {80, "25.0"}};
    std::vector<std::string> lines = {kCsvHeader};
    for (const Pair& pair : pairs)
        lines.push_back("7.4890000,51.4902000,121,2.50,120," + std::to_string(pair.nApplied) + ",3,,,,,," +
                        pair.nContent);
    WriteLines(folder.File("Log_Rate_Field_260420.csv"), lines);
    ASSERT_HRESULT_SUCCEEDED(List(folder.Path().string()));
    Tick({"Log_Rate_Field_260420.csv"});
    for (const auto& setting : fixtures::X87Settings()) {
        SCOPED_TRACE(setting.name);
        store.Reset();
        {
            fixtures::X87Precision precision(setting.precision);
            ASSERT_EQ(Import(), S_OK);
        }
        const Json points = Operations()[0]["points"];
        ASSERT_EQ(points.size(), std::size(pairs));
        for (std::size_t i = 0; i < points.size(); ++i) {
            const double nApplied = ValueOf(points[i], "N_Applied"), nContent = ValueOf(points[i], "Nc");
            EXPECT_EQ(nApplied, pairs[i].nApplied);
            EXPECT_EQ(ValueOf(points[i], "Rate"), nApplied * 100 / nContent)
                << pairs[i].nApplied << " / " << pairs[i].nContent;
        }
        EXPECT_EQ(ValueOf(points[2], "Rate"), 215.9090909090909);
    }
}

TEST_F(TerminalImport, ConvertedLogsCarryEveryRowOfTheirCsv) {
    ASSERT_HRESULT_SUCCEEDED(List(folder.Path().string()));
    Tick({"Log_North_Field_260412.log", "Log_Mill_Meadow_260418.log"});
    ASSERT_EQ(Import(), S_OK);
    const Json operations = Operations();
    for (const char* stem : {"Log_North_Field_260412", "Log_Mill_Meadow_260418"}) {
        SCOPED_TRACE(stem);
        const std::vector<CsvRow> rows = ReadCsvRows(folder.File(std::string(stem) + ".csv"));
        const Json* op = Named(operations, stem);
        ASSERT_TRUE(op);
        ASSERT_FALSE(rows.empty()) << "the converter wrote no rows";
        ASSERT_EQ((*op)["points"].size(), rows.size());
        for (std::size_t i = 0; i < rows.size(); ++i) {
            const Json& p = (*op)["points"][i];
            const CsvRow& r = rows[i];
            EXPECT_DOUBLE_EQ(p["x"].get<double>(), r.lon) << i;
            EXPECT_DOUBLE_EQ(p["y"].get<double>(), r.lat) << i;
            EXPECT_DOUBLE_EQ(p["measures"][3]["value"].get<double>(), r.alt) << i;
            const double expected[] = {r.bi, r.n, r.nas, r.factor, r.nc, r.nc > 0 ? r.nas * 100 / r.nc : 0.0};
            for (int k = 0; k < 6; ++k)
                EXPECT_DOUBLE_EQ(ValueOf(p, kValueKeys[k]), expected[k]) << i << " " << kValueKeys[k];
            std::size_t events = 0;
            for (int m : r.markers) events += m > 0;
            EXPECT_EQ(p["events"].size(), events) << i;
        }
    }
    // What the binary log holds, independently of the converter's own tests.
    const Json& first = (*Named(operations, "Log_North_Field_260412"))["points"][0];
    EXPECT_DOUBLE_EQ(first["y"].get<double>(), 51.5012);
    EXPECT_DOUBLE_EQ(first["x"].get<double>(), 7.498);
    EXPECT_DOUBLE_EQ(ValueOf(first, "N_Target"), 120);
    EXPECT_EQ(first["events"][0][0], "Marker1");
}

TEST_F(TerminalImport, OneDeviceModelServesEveryFileAndEveryCall) {
    ASSERT_HRESULT_SUCCEEDED(List(folder.Path().string()));
    TickAll();
    ASSERT_EQ(Import(), S_OK);
    const Json first = Store();
    ASSERT_EQ(first["machines"].size(), 1u) << first["machines"].dump(1);
    const Json& machine = first["machines"][0];
    EXPECT_EQ(machine["key"], "VirtualMachine");
    ASSERT_EQ(first["catalog"]["products"].size(), 1u);
    EXPECT_EQ(first["catalog"]["products"][0]["key"], "Unknown_Product");
    for (const Json& op : first["catalog"]["operations"]) {
        ASSERT_EQ(op["machines"].size(), 1u);
        EXPECT_EQ(op["machines"][0]["key"], "VirtualMachine");
        EXPECT_EQ(op["products"][0]["key"], "Unknown_Product");
        ASSERT_EQ(op["containers"].size(), 1u);
        EXPECT_FALSE(op["containers"][0]["hasContainer"].get<bool>());
        EXPECT_EQ(op["containers"][0]["amount"], 1.0);
    }

    // A second call into another store attaches the same machine and makes no new one.
    store.Reset();
    ASSERT_EQ(Import(), S_OK);
    const Json second = Store();
    EXPECT_TRUE(second["machines"].empty());
    ASSERT_EQ(second["catalog"]["operations"].size(), 3u);
    EXPECT_EQ(second["catalog"]["operations"][0]["machines"][0]["key"], "VirtualMachine");
    EXPECT_EQ(second["catalog"]["operations"][0]["points"][0]["values"].size(), 6u);
}

TEST_F(TerminalImport, ExistingFieldsProductsAndEntriesAreReused) {
    ASSERT_HRESULT_SUCCEEDED(List(folder.Path().string()));
    Tick({"Log_South_Slope_260420.csv"});
    ASSERT_EQ(Import(R"({"catalog":{"fields":[{"key":"South Slope","kind":64,"area":{"code":66,"value":99}}],
                         "products":[{"key":"Unknown_Product"}]},
                         "operationPresets":{"products":["Unknown_Product"],"containers":["VirtualContainer"]}})"),
              S_OK);
    const Json store = Store();
    EXPECT_EQ((*Node(store, "South Slope"))["area"]["value"], 99);
    EXPECT_EQ(store["catalog"]["products"].size(), 1u);
    const Json& op = store["catalog"]["operations"][0];
    for (const char* list : {"products", "containers"}) {
        ASSERT_EQ(op[list].size(), 1u) << list;
        EXPECT_EQ(op[list][0]["kind"], "preset") << list;
    }
}

}  // namespace
}  // namespace importtest

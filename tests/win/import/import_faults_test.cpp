// The import when things go wrong: every host call failing in turn, files that are missing,
// hostile or half-converted, a converter that is absent or refuses a log, and the corner
// cases of ticking.
#include <filesystem>
#include <fstream>

#include "com/NivraTeskIds.h"
#include "ImportFixture.h"
#include "TerminalFolder.h"

namespace importtest {
namespace {

const bool kZone = UseSystemZone();
constexpr HRESULT kInjected = static_cast<HRESULT>(0x8004F00D);

void WriteSmallFolder(const fixtures::TempDir& folder) {
    WriteLines(folder.File("Log_Acre_260301.csv"),
               {kCsvHeader, "7.1,51.1,100,2.5,120,108,3,1,,,,,4.2", "7.2,51.2,101,2.6,121,109,3,,,,,1,4.2"});
    WriteLines(folder.File("fields.txt"), {"Nr,Schlagname,size,Crop,Kunde", "1,Acre,3.5,Wheat,Hill Farm"});
}

class ImportFaults : public ImportTest {
protected:
    // The error information the reference host set for its failing k-th call reached the
    // caller of the driver's slot with the HRESULT.
    void ExpectTheHostsErrorInfo(LONG k) {
        ComPtr<IErrorInfo> info;
        ASSERT_EQ(GetErrorInfo(0, info.GetAddressOf()), S_OK) << "host call " << k << ": no error information";
        Bstr description;
        ASSERT_HRESULT_SUCCEEDED(info->GetDescription(description.Out()));
        EXPECT_EQ(description.Text().rfind(L"reference host: injected failure of ", 0), 0u) << "host call " << k;
    }
};

TEST_F(ImportFaults, EveryFailingHostCallEndsTheImportWithItsResultAndLeaksNothing) {
    WriteSmallFolder(folder);
    auto prepare = [&] {
        driver = NewDriver();
        ASSERT_TRUE(driver);
        ASSERT_EQ(List(folder.Path().string()), S_OK);
        TickAll();
        store = host.Create<IvnImportTarget>("dataStore");
    };
    prepare();
    host.ArmFailure(0, S_OK);
    ASSERT_EQ(Import(), S_OK);
    const LONG calls = host.CallCount();
    ASSERT_GT(calls, 40) << host.CallLog();
    ReleaseAll();
    ASSERT_EQ(host.LiveObjects(), liveBefore);

    for (LONG k = 1; k <= calls; ++k) {
        prepare();
        host.Reset();
        host.ArmFailure(k, kInjected);
        EXPECT_EQ(Import(), kInjected) << "host call " << k;
        ExpectTheHostsErrorInfo(k);
        ReleaseAll();
        EXPECT_EQ(host.LiveObjects(), liveBefore) << "after failing host call " << k;
        EXPECT_EQ(DriverCanUnload(), S_OK) << "after failing host call " << k;
    }
    driver = NewDriver();  // TearDown expects a driver to release
}

TEST_F(ImportFaults, EveryFailingHostCallEndsTheListingWithItsResult) {
    WriteSmallFolder(folder);
    WriteLines(folder.File("Other_260302.csv"), {kCsvHeader});
    host.ArmFailure(0, S_OK);
    ASSERT_EQ(List(folder.Path().string()), S_OK);
    listed.clear();
    files.Reset();
    // The test's own reading of the list follows the driver's calls; count only the driver's.
    fileList = host.Create<IvnFileList>("fileList");
    host.ArmFailure(0, S_OK);
    Bstr text(nivra::AnsiToBstr(folder.Path().string()));
    ASSERT_EQ(driver->ListFiles(fileList.Get(), text.Get(), 0, 0), S_OK);
    const LONG calls = host.CallCount();
    ASSERT_GE(calls, 8);
    for (LONG k = 1; k <= calls; ++k) {
        fileList = host.Create<IvnFileList>("fileList");
        host.Reset();
        host.ArmFailure(k, kInjected);
        const HRESULT hr = driver->ListFiles(fileList.Get(), text.Get(), 0, 0);
        const std::string log = host.CallLog();
        std::size_t line = 0;
        for (LONG i = 1; i < k; ++i) line = log.find('\n', line) + 1;
        const std::string failed = log.substr(line, log.find('\n', line) - line);
        // A file object whose property list cannot be made is still made, without the list
        // that its size entry needs.
        const HRESULT expected = failed == "IClassFactory.CreateInstance" ? E_POINTER : kInjected;
        EXPECT_EQ(hr, expected) << "host call " << k << ": " << failed;
    }
    fileList.Reset();
}

TEST_F(ImportFaults, NothingTickedStillFinishesAndAsksForTheSummary) {
    WriteSmallFolder(folder);
    ASSERT_EQ(List(folder.Path().string()), S_OK);
    Tick({});
    ASSERT_EQ(Import(), S_OK);
    const Json store = Store();
    EXPECT_TRUE(store["catalog"]["operations"].empty());
    EXPECT_TRUE(store["catalog"]["fields"].empty());
    EXPECT_EQ(store["session"]["summaries"].size(), 1u);
    EXPECT_EQ(Progress()["ranges"], Json::parse("[[2, 0.0, 0.0]]"));
    EXPECT_EQ(Progress()["finished"], 1);
}

TEST_F(ImportFaults, ATargetWithoutADataStoreFailsAtTheFirstFileAndANullResultAfterTheRun) {
    WriteSmallFolder(folder);
    ASSERT_EQ(List(folder.Path().string()), S_OK);
    store = host.Create<IvnImportTarget>("importTarget");
    Tick({});
    EXPECT_EQ(Import(), S_OK) << "nothing ticked: the data store is never needed";
    TickAll();
    EXPECT_EQ(Import(), E_POINTER);

    store.Reset();
    Tick({});
    store = host.Create<IvnImportTarget>("dataStore");
    progress = host.Create<IvnProgress>("progress");
    EXPECT_EQ(driver->ImportFiles(store.Get(), files.Get(), progress.Get(), nullptr), E_INVALIDARG);
    EXPECT_EQ(Store()["session"]["summaries"].size(), 1u) << "the run and its summary come before the result check";
}

// A null target is refused with the other arguments, before any log is converted (which
// would rewrite its CSV) and before the progress hears of the run.
TEST_F(ImportFaults, ANullTargetIsRefusedBeforeAnythingIsTouched) {
    WriteBinaryLog(folder.File("A.log"));
    ASSERT_EQ(List(folder.Path().string()), S_OK);
    TickAll();
    progress = host.Create<IvnProgress>("progress");
    VARIANT_BOOL result = VARIANT_FALSE;
    EXPECT_EQ(driver->ImportFiles(nullptr, files.Get(), progress.Get(), &result), E_POINTER);
    EXPECT_FALSE(std::filesystem::exists(folder.File("A.csv"))) << "the log was converted";
    EXPECT_TRUE(Progress()["ranges"].empty());
    EXPECT_EQ(Progress()["finished"], 0);
}

// A name the ANSI code page cannot write ("\u03a9.log") is listed under a name that opens (the
// short name) or not at all; never under a best-fit name that does not exist.
TEST_F(ImportFaults, ANameOutsideTheAnsiCodePageIsListedUnderANameThatOpens) {
    WriteBinaryLog(folder.File("omega.log"));
    std::filesystem::rename(folder.Path() / "omega.log", folder.Path() / L"\u03a9.log");
    WriteBinaryLog(folder.File("A.log"));
    ASSERT_EQ(List(folder.Path().string()), S_OK);
    ASSERT_GE(listed.size(), 1u);
    for (const ListedFile& entry : listed)
        EXPECT_NE(GetFileAttributesA(entry.path.c_str()), INVALID_FILE_ATTRIBUTES) << entry.path;
    TickAll();
    ASSERT_EQ(Import(), S_OK);
    EXPECT_EQ(Operations().size(), listed.size()) << "every listed log is imported";
}

TEST_F(ImportFaults, LogAndCsvOfOneStemBothTickedImportTwice) {
    WriteBinaryLog(folder.File("A.log"));
    WriteLines(folder.File("A.csv"), {kCsvHeader, "1,2,3,4,5,6,7,,,,,,8"});
    ASSERT_EQ(List(folder.Path().string()), S_OK);
    EXPECT_EQ(ListedNames(), (std::vector<std::string>{"A.log", "A.csv"}));
    TickAll();
    ASSERT_EQ(Import(), S_OK);
    const Json operations = Operations();
    ASSERT_EQ(operations.size(), 2u);
    // The log was converted first and rewrote A.csv, which the second file then read again.
    EXPECT_EQ(operations[0]["name"], "A");
    EXPECT_EQ(operations[1]["name"], "A");
    EXPECT_EQ(operations[0]["points"].size(), 3u);
    EXPECT_EQ(operations[1]["points"], operations[0]["points"]);
    EXPECT_EQ(operations[0]["node"], "Unknown_Field");
}

TEST_F(ImportFaults, ALogTheConverterRefusesImportsTheOlderCsv) {
    // A folder named like a log is listed with the logs; the converter cannot read it.
    std::filesystem::create_directory(folder.File("B.log"));
    WriteLines(folder.File("B.csv"), {kCsvHeader, "1,2,3,4,5,6,7,,,,,,8", "1.5,2.5,3,4,5,6,7,,,,,,8"});
    ASSERT_EQ(List(folder.Path().string()), S_OK);
    Tick({"B.log"});
    ASSERT_EQ(Import(), S_OK);
    const Json operations = Operations();
    ASSERT_EQ(operations.size(), 1u);
    EXPECT_EQ(operations[0]["points"].size(), 2u);
}

TEST_F(ImportFaults, WithoutTheConverterBesideTheDriverTheOlderCsvIsRead) {
    // A copy of the driver in a folder of its own, with no korvex.dll beside it.
    wchar_t registered[MAX_PATH];
    ASSERT_TRUE(GetModuleFileNameW(GetModuleHandleW(L"NivraTesk.dll"), registered, MAX_PATH));
    fixtures::TempDir alone;
    const std::filesystem::path copy = alone.Path() / "NivraTesk.dll";
    std::filesystem::copy_file(registered, copy);
    HMODULE module = LoadLibraryW(copy.wstring().c_str());
    ASSERT_TRUE(module);
    {
        auto getClassObject = reinterpret_cast<HRESULT(STDAPICALLTYPE*)(REFCLSID, REFIID, void**)>(
            reinterpret_cast<void*>(GetProcAddress(module, "DllGetClassObject")));
        ComPtr<IClassFactory> factory;
        ASSERT_HRESULT_SUCCEEDED(getClassObject(nivra::CLSID_CNivraTesk, IID_IClassFactory,
                                                reinterpret_cast<void**>(factory.GetAddressOf())));
        ComPtr<IvnTESK> lonely;
        ASSERT_HRESULT_SUCCEEDED(
            factory->CreateInstance(nullptr, __uuidof(IvnTESK), reinterpret_cast<void**>(lonely.GetAddressOf())));
        std::swap(driver, lonely);

        WriteBinaryLog(folder.File("C.log"));
        WriteLines(folder.File("C.csv"), {kCsvHeader, "1,2,3,4,5,6,7,,,,,,8"});
        ASSERT_EQ(List(folder.Path().string()), S_OK);
        Tick({"C.log"});
        ASSERT_EQ(Import(), S_OK);
        const Json operations = Operations();
        ASSERT_EQ(operations.size(), 1u);
        EXPECT_EQ(operations[0]["points"].size(), 1u) << "the older C.csv, not the log's three rows";
        ReleaseAll();
        std::swap(driver, lonely);
    }
    FreeLibrary(module);
}

TEST_F(ImportFaults, AnUpperCaseLogIsListedWithTheLogsButReadAsItIs) {
    WriteLines(folder.File("U.LOG"), {kCsvHeader, "1,2,3,4,5,6,7,,,,,,8"});
    ASSERT_EQ(List(folder.Path().string()), S_OK);
    ASSERT_EQ(ListedNames(), std::vector<std::string>{"U.LOG"});
    TickAll();
    ASSERT_EQ(Import(), S_OK);
    const Json operations = Operations();
    ASSERT_EQ(operations.size(), 1u);
    EXPECT_EQ(operations[0]["name"], "U");
    EXPECT_EQ(operations[0]["points"].size(), 1u);
    EXPECT_FALSE(std::filesystem::exists(folder.File("U.csv")));
}

TEST_F(ImportFaults, ASizeBeyondFourGigabytesIsReadWithSixtyFourBits) {
    { std::ofstream big(folder.File("Big.csv"), std::ios::binary); }
    std::filesystem::resize_file(folder.File("Big.csv"), 5000000000ULL);  // sparse: nothing is written
    ASSERT_EQ(List(folder.Path().string()), S_OK);
    ASSERT_EQ(listed.size(), 1u);
    ComPtr<IvnProperties> properties;
    ASSERT_HRESULT_SUCCEEDED(listed[0].file->Properties(properties.GetAddressOf()));
    ComPtr<IvnProperty> size;
    ASSERT_HRESULT_SUCCEEDED(properties->get_Item(*nivra::Variant::Int(1).Get(), size.GetAddressOf()));
    ASSERT_TRUE(size);
    Bstr text;
    ASSERT_HRESULT_SUCCEEDED(size->get_Value(text.Out()));
    EXPECT_EQ(nivra::BstrToAnsi(text.Get()), "4882812.50 KB");
}

TEST_F(ImportFaults, ACsvWithoutNcGivesRateZeroAndRowsOutsideTheLimitsAreSkipped) {
    WriteLines(folder.File("Field_260301.csv"),
               {"Long,Lat,Nas", "10,50,100", "-180,-89.99,100", "180.0001,50,100", "10,-90,100", "180,89.99,100"});
    ASSERT_EQ(List(folder.Path().string()), S_OK);
    TickAll();
    ASSERT_EQ(Import(), S_OK);
    const Json points = Operations()[0]["points"];
    ASSERT_EQ(points.size(), 3u);
    EXPECT_EQ(points[1]["x"], -180.0);
    EXPECT_EQ(points[2]["x"], 180.0);
    for (const Json& p : points) {
        EXPECT_EQ(ValueOf(p, "Rate"), 0.0);
        EXPECT_EQ(ValueOf(p, "Nc"), 0.0);
        EXPECT_EQ(ValueOf(p, "N_Applied"), 100.0);
    }
}

TEST_F(ImportFaults, AnUnderscoreInTheFolderNameDoesNotMoveTheFieldName) {
    fixtures::TempDir parent;
    const std::filesystem::path card = parent.Path() / "Card_2026";
    std::filesystem::create_directories(card);
    WriteLines((card / "Log_North_Slope_080315.csv").string(), {kCsvHeader, "1,2,3,4,5,6,7,,,,,,8"});
    ASSERT_EQ(List(card.string()), S_OK);
    TickAll();
    ASSERT_EQ(Import(), S_OK);
    const Json op = Operations()[0];
    EXPECT_EQ(op["node"], "North Slope");
    EXPECT_EQ(op["points"][0]["time"].get<double>(), LocalMidnight(2008, 3, 15));
}

TEST_F(ImportFaults, HostileFolderContentsGiveAClearOutcome) {
    // A CSV of 10,000 columns, the known ones last.
    std::string header, row;
    for (int i = 0; i < 10000 - 3; ++i) {
        header += "X" + std::to_string(i) + ",";
        row += std::to_string(i) + ",";
    }
    WriteLines(folder.File("Wide_260301.csv"), {header + "Long,Lat,BI", row + "8.5,50.5,3.25"});
    // A binary log whose records claim more bytes than they hold, and one claiming none.
    logwriter::BinaryLogWriter lying;
    lying.Position(515000000, 75000000, 100).RecordWithLength(0x0050, 60000, logwriter::Bytes(16, 1));
    lying.Save(folder.File("Lying_260301.log"));
    // A fields.txt whose field name runs over 100,000 characters.
    const std::string longName(100000, 'F');
    WriteLines(folder.File("fields.txt"), {"Nr,Schlagname,size,Crop,Kunde", "1," + longName + ",2.5,Wheat,Long Farm"});
    // A file listed and then gone before the import.
    WriteLines(folder.File("Gone_260301.csv"), {kCsvHeader, "1,2,3,4,5,6,7,,,,,,8"});

    ASSERT_EQ(List(folder.Path().string()), S_OK);
    TickAll();
    std::filesystem::remove(folder.File("Gone_260301.csv"));
    ASSERT_EQ(Import(), S_OK);
    const Json store = Store();
    const Json& operations = store["catalog"]["operations"];
    bool wide = false, lyingLog = false;
    for (const Json& op : operations) {
        EXPECT_NE(op["name"], "Gone_260301");
        if (op["name"] == "Lying_260301") {
            // Whatever the converter kept of the lying log is imported, and nothing else.
            lyingLog = true;
            EXPECT_EQ(op["points"].size(), ReadCsvRows(folder.File("Lying_260301.csv")).size());
        }
        if (op["name"] != "Wide_260301") continue;
        wide = true;
        ASSERT_EQ(op["points"].size(), 1u);
        EXPECT_EQ(op["points"][0]["x"], 8.5);
        EXPECT_EQ(ValueOf(op["points"][0], "Biomass_Index"), 3.25);
    }
    EXPECT_TRUE(wide);
    EXPECT_TRUE(lyingLog);
    // The long line made one field and one farm, not pieces of either.
    std::size_t longFields = 0, farms = 0;
    for (const Json& node : store["catalog"]["fields"]) {
        longFields += node["key"] == longName;
        farms += node["kind"] == 128;
    }
    EXPECT_EQ(longFields, 1u);
    EXPECT_EQ(farms, 1u);
}

}  // namespace
}  // namespace importtest

// The KorvexLog driver in process: which files it claims, and every feature of a log against
// the CSV that the conversion library writes for the same log, field by field, null by null.
#include <gtest/gtest.h>

#include <cstdlib>
#include <random>
#include <sstream>

#include "KorvexLogDriver.h"
#include "fixtures/TempDir.h"
#include "gdal_priv.h"
#include "korvex.h"
#include "logwriter/LogWriters.h"
#include "ogrsf_frmts.h"

using logwriter::BinaryLogWriter;
using logwriter::Bytes;
using logwriter::LegacyLogWriter;

namespace {

class GdalDriver : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        korvexgdal::RegisterDriver();
        GDALAllRegister();
    }
};

struct DatasetCloser {
    void operator()(GDALDataset* d) const { GDALClose(d); }
};
using DatasetPtr = std::unique_ptr<GDALDataset, DatasetCloser>;
using FeaturePtr = std::unique_ptr<OGRFeature>;

// A file in GDAL's memory file system, removed at the end of the test.
class MemFile {
public:
    MemFile(const std::string& name, const Bytes& bytes) : path_("/vsimem/gdal_driver_test/" + name) {
        VSILFILE* f = VSIFOpenL(path_.c_str(), "wb");
        if (!bytes.empty()) VSIFWriteL(bytes.data(), 1, bytes.size(), f);
        VSIFCloseL(f);
    }
    ~MemFile() { VSIUnlink(path_.c_str()); }
    const std::string& Path() const { return path_; }

private:
    std::string path_;
};

DatasetPtr OpenLog(const std::string& path, std::vector<std::string> options = {}, bool onlyThisDriver = true) {
    const char* drivers[] = {korvexgdal::kDriverName, nullptr};
    std::vector<const char*> opts;
    for (const auto& o : options) opts.push_back(o.c_str());
    opts.push_back(nullptr);
    return DatasetPtr(GDALDataset::Open(path.c_str(), GDAL_OF_VECTOR | GDAL_OF_READONLY,
                                        onlyThisDriver ? drivers : nullptr, opts.data()));
}

// The converter's CSV of the same bytes, as cells; an empty line has no cells.
std::vector<std::vector<std::string>> ConverterRows(const Bytes& log, bool checkPosition, bool checkReading) {
    fixtures::TempDir dir;
    logwriter::SaveBytes(dir.File("in.log"), log);
    korvex::ConvertLog(dir.File("in.log"), dir.File("out.csv"), !checkPosition, !checkReading);
    std::string csv = fixtures::ReadAll(dir.File("out.csv"));
    std::vector<std::vector<std::string>> rows;
    std::size_t start = csv.find("\r\n") + 2;
    while (start < csv.size()) {
        std::size_t end = csv.find("\r\n", start);
        std::string line = csv.substr(start, end - start);
        start = end + 2;
        if (line.empty()) continue;
        std::vector<std::string> cells;
        std::stringstream cellStream(line);
        std::string cell;
        while (std::getline(cellStream, cell, ',')) cells.push_back(cell);
        if (line.back() == ',') cells.push_back("");
        rows.push_back(cells);
    }
    return rows;
}

// Compares every feature of the layer, in order, with the converter's rows.
void ExpectSameRows(OGRLayer* layer, const std::vector<std::vector<std::string>>& rows, const std::string& what) {
    static const char* const kFields[] = {"BI",      "N",       "Nas",     "ApplFactor",  "Marker1",
                                          "Marker2", "Marker3", "Marker4", "Calibration", "Nc"};
    ASSERT_EQ(layer->GetFeatureCount(), static_cast<GIntBig>(rows.size())) << what;
    layer->ResetReading();
    for (std::size_t i = 0; i < rows.size(); ++i) {
        FeaturePtr f(layer->GetNextFeature());
        ASSERT_TRUE(f) << what << " row " << i;
        const auto& cells = rows[i];
        ASSERT_EQ(cells.size(), 13u) << what << " row " << i;
        EXPECT_EQ(f->GetFID(), static_cast<GIntBig>(i + 1));
        auto* point = f->GetGeometryRef()->toPoint();
        ASSERT_EQ(point->getX(), std::strtod(cells[0].c_str(), nullptr)) << what << " row " << i;
        ASSERT_EQ(point->getY(), std::strtod(cells[1].c_str(), nullptr)) << what << " row " << i;
        ASSERT_EQ(point->getZ(), std::strtod(cells[2].c_str(), nullptr)) << what << " row " << i;
        for (int c = 0; c < 10; ++c) {
            const std::string& cell = cells[3 + c];
            int field = f->GetFieldIndex(kFields[c]);
            ASSERT_EQ(f->IsFieldNull(field), cell.empty()) << what << " row " << i << " " << kFields[c];
            if (cell.empty()) continue;
            if (c >= 4 && c <= 8)
                ASSERT_EQ(f->GetFieldAsInteger(field), std::atoi(cell.c_str())) << what << " row " << i;
            else ASSERT_EQ(f->GetFieldAsDouble(field), std::strtod(cell.c_str(), nullptr)) << what << " row " << i;
        }
    }
    EXPECT_FALSE(FeaturePtr(layer->GetNextFeature())) << what;
}

void ExpectSameRowsWithEveryOption(const std::string& path, const Bytes& bytes, const std::string& what) {
    for (int checks = 0; checks < 4; ++checks) {
        bool position = checks & 1, reading = checks & 2;
        DatasetPtr ds = OpenLog(path, {std::string("CHECK_POSITION=") + (position ? "YES" : "NO"),
                                       std::string("CHECK_READING=") + (reading ? "YES" : "NO")});
        ASSERT_TRUE(ds) << what;
        ExpectSameRows(ds->GetLayer(0), ConverterRows(bytes, position, reading),
                       what + " checks " + std::to_string(checks));
    }
}

// A log in each format with every kind of value: missing readings, calibration, markers,
// Nc carried over, zero and missing positions.
Bytes RandomBinaryLog(std::uint32_t seed, int rows) {
    std::mt19937 rng(seed);
    BinaryLogWriter log;
    for (int i = 0; i < rows; ++i) {
        bool zero = rng() % 17 == 0;
        log.Position(zero ? 0 : 515000000 + static_cast<int>(rng() % 40000),
                     zero ? 0 : 75000000 + static_cast<int>(rng() % 40000), static_cast<std::int16_t>(rng() % 3000));
        if (rng() % 5 == 0) log.Nc(static_cast<std::int16_t>(rng() % 900));
        switch (rng() % 6) {
        case 0: break;
        case 1: log.Reading(-1.0f, -1.0f, static_cast<std::uint8_t>(rng())); break;
        default:
            log.Reading(static_cast<float>(rng() % 600) / 10.0f, static_cast<float>(rng() % 200),
                        static_cast<std::uint8_t>(rng()));
            break;
        }
        if (rng() % 4 == 0) log.Markers(static_cast<std::uint8_t>(rng()));
        if (rng() % 3 == 0) log.NasInteger(static_cast<std::int16_t>(rng() % 180));
        if (rng() % 7 == 0) log.NasSingle(rng() % 2 ? 1e5f : 55.5f);
    }
    return log.Data();
}

Bytes RandomLegacyLog(std::uint32_t seed, int groups) {
    std::mt19937 rng(seed);
    using W = LegacyLogWriter;
    W log;
    for (int i = 0; i < groups; ++i) {
        switch (rng() % 5) {
        case 0: log.Value(0, W::Type3Word0(static_cast<std::uint8_t>(rng()))); break;
        case 1: log.Value(0, W::Type7Word0(static_cast<std::uint8_t>(rng()))); break;
        case 2:
            log.Value(0, W::Type8Word0(static_cast<std::uint8_t>(rng())))
                .Value(1, W::Bytes4(rng() % 4 ? 40 : 254, 42, rng() % 4 ? 10 : 255, 12))
                .Value(2, W::Bytes4(rng() % 5 ? 20 : 255, 24, 0, 0));
            break;
        default:
            log.Value(0, W::Type1Word0(static_cast<std::uint8_t>(rng() % 4 ? rng() % 100 : 254),
                                       static_cast<std::uint8_t>(rng())))
                .Value(1, W::Type1Word1(static_cast<std::uint8_t>(rng()), static_cast<std::uint8_t>(rng()),
                                        static_cast<std::uint8_t>(rng())));
            break;
        }
        if (rng() % 9)
            log.Position(static_cast<std::uint8_t>(rng()), rng() % 11 ? 515000000 + static_cast<int>(rng() % 40000) : 0,
                         75000000 + static_cast<int>(rng() % 40000));
    }
    log.Value(0, 0);
    return log.Data();
}

std::string Capture(std::function<void()> body) {
    std::string messages;
    CPLPushErrorHandlerEx(
        [](CPLErr, CPLErrorNum, const char* msg) {
            auto* out = static_cast<std::string*>(CPLGetErrorHandlerUserData());
            *out += msg;
            *out += "\n";
        },
        &messages);
    body();
    CPLPopErrorHandler();
    return messages;
}

}  // namespace

TEST_F(GdalDriver, ClaimsLogsAndNothingElse) {
    const Bytes binary = RandomBinaryLog(1, 20), legacy = RandomLegacyLog(2, 20);
    const std::string text = std::string(2000, 'x') + "\nsome log text, 12:00:01 started\n";
    const std::string csv = std::string(korvex::kCsvHeader) + "\r\n7.5000000,51.5000000,123,2.50,120,,3,,,,,,\r\n";
    Bytes legacyEmpty = LegacyLogWriter().EndMarker().Data();
    struct Case {
        const char* name;
        Bytes bytes;
        bool claimed;
    } cases[] = {
        {"binary.log", binary, true},
        {"binary-any-name.dat", binary, true},
        {"older.log", legacy, true},
        {"older-upper.LOG", legacy, true},
        {"older-empty.log", legacyEmpty, true},
        {"older-not-named-log.bin", legacy, false},
        {"text.log", Bytes(text.begin(), text.end()), false},
        {"csv.log", Bytes(csv.begin(), csv.end()), false},
        {"csv.csv", Bytes(csv.begin(), csv.end()), false},
        {"empty.log", Bytes(), false},
        {"zeros.log", Bytes(4096, 0), false},
        {"header-only.log", Bytes(512, 0x41), false},
    };
    for (const auto& c : cases) {
        MemFile file(c.name, c.bytes);
        GDALDriverH identified = GDALIdentifyDriverEx(file.Path().c_str(), GDAL_OF_VECTOR, nullptr, nullptr);
        bool claimed = identified && std::string(GDALGetDescription(identified)) == korvexgdal::kDriverName;
        EXPECT_EQ(claimed, c.claimed) << c.name;
        DatasetPtr ds = OpenLog(file.Path());
        EXPECT_EQ(static_cast<bool>(ds), c.claimed) << c.name;
    }
}

TEST_F(GdalDriver, SampleFolderFeaturesEqualTheConvertersRows) {
    const char* build = std::getenv("NIVRA_BUILD_DIR");
    ASSERT_NE(build, nullptr);
    fixtures::TempDir dir;
    std::string command = std::string(build) + "/tools/samplelogs " + dir.Path().string() + " > /dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0);
    int logs = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path())) {
        if (entry.path().extension() != ".log") continue;
        ++logs;
        std::string content = fixtures::ReadAll(entry.path().string());
        ExpectSameRowsWithEveryOption(entry.path().string(), Bytes(content.begin(), content.end()),
                                      entry.path().filename().string());
    }
    EXPECT_EQ(logs, 4);
}

TEST_F(GdalDriver, GeneratedAndTruncatedLogsEqualTheConvertersRows) {
    for (std::uint32_t seed = 10; seed < 14; ++seed) {
        for (const Bytes& full : {RandomBinaryLog(seed, 300), RandomLegacyLog(seed, 300)}) {
            for (std::size_t cut : {full.size(), full.size() - 1, full.size() / 2 + 3, std::size_t(600)}) {
                Bytes bytes(full.begin(), full.begin() + static_cast<std::ptrdiff_t>(cut));
                MemFile file("gen.log", bytes);
                std::string what = "seed " + std::to_string(seed) + " cut " + std::to_string(cut);
                CPLPushErrorHandler(CPLQuietErrorHandler);
                ExpectSameRowsWithEveryOption(file.Path(), bytes, what);
                CPLPopErrorHandler();
            }
        }
    }
}

TEST_F(GdalDriver, ALogCutShortWarnsWithTheFileAndTheByteOffset) {
    Bytes binary = BinaryLogWriter().Position(515000000, 75000000, 1234).Reading(25, 120, 3).Data();
    const std::size_t cutRecord = binary.size();
    binary.insert(binary.end(), {0x00, 0x00, 0x18, 0x00, 0x01, 0x02});  // a position record cut short
    Bytes legacy = LegacyLogWriter()
                       .Value(0, LegacyLogWriter::Type1Word0(60, 150))
                       .Position(1, 515000000, 75000000)
                       .Value(0, LegacyLogWriter::Type1Word0(61, 150))
                       .Position(2, 515000000, 75000000)
                       .Data();
    const std::size_t cutItem = legacy.size();
    legacy.insert(legacy.end(), {0x08, 0xFF, 0x28, 0xB1, 0x01});  // a slot 1 item cut short
    struct Case {
        const char* name;
        const Bytes& bytes;
        std::size_t offset;
        GIntBig rows;
    } cases[] = {{"cut-binary.log", binary, cutRecord, 0}, {"cut-older.log", legacy, cutItem, 1}};
    for (const auto& c : cases) {
        MemFile file(c.name, c.bytes);
        DatasetPtr ds = OpenLog(file.Path());
        ASSERT_TRUE(ds) << c.name;
        GIntBig count = -1;
        std::string messages = Capture([&] { count = ds->GetLayer(0)->GetFeatureCount(); });
        EXPECT_EQ(count, c.rows) << c.name;
        EXPECT_NE(messages.find(file.Path()), std::string::npos) << messages;
        EXPECT_NE(messages.find("at byte " + std::to_string(c.offset)), std::string::npos) << messages;
        // Once: the count, the extent and the features come from the one conversion.
        messages = Capture([&] { FeaturePtr(ds->GetLayer(0)->GetNextFeature()); });
        EXPECT_EQ(messages, "") << c.name;
    }
    Bytes whole = RandomBinaryLog(5, 30);
    MemFile file("whole.log", whole);
    DatasetPtr ds = OpenLog(file.Path());
    EXPECT_EQ(Capture([&] { ds->GetLayer(0)->GetFeatureCount(); }), "");
}

TEST_F(GdalDriver, CountExtentAndRandomReadsNeedNoSecondReadOfTheFile) {
    Bytes bytes = RandomBinaryLog(21, 200);
    auto rows = ConverterRows(bytes, false, false);
    auto file = std::make_unique<MemFile>("once.log", bytes);
    DatasetPtr ds = OpenLog(file->Path());
    ASSERT_TRUE(ds);
    OGRLayer* layer = ds->GetLayer(0);
    ASSERT_EQ(layer->GetFeatureCount(), static_cast<GIntBig>(rows.size()));
    file.reset();  // the log is gone: everything below must come from the first conversion
    OGREnvelope extent;
    ASSERT_EQ(layer->GetExtent(&extent, FALSE), OGRERR_NONE);
    double minX = 1e9, maxX = -1e9, minY = 1e9, maxY = -1e9;
    for (const auto& r : rows) {
        minX = std::min(minX, std::strtod(r[0].c_str(), nullptr));
        maxX = std::max(maxX, std::strtod(r[0].c_str(), nullptr));
        minY = std::min(minY, std::strtod(r[1].c_str(), nullptr));
        maxY = std::max(maxY, std::strtod(r[1].c_str(), nullptr));
    }
    EXPECT_EQ(extent.MinX, minX);
    EXPECT_EQ(extent.MaxX, maxX);
    EXPECT_EQ(extent.MinY, minY);
    EXPECT_EQ(extent.MaxY, maxY);
    for (GIntBig fid : {GIntBig(1), GIntBig(rows.size()), GIntBig(rows.size() / 2)}) {
        FeaturePtr f(layer->GetFeature(fid));
        ASSERT_TRUE(f) << fid;
        EXPECT_EQ(f->GetGeometryRef()->toPoint()->getX(), std::strtod(rows[fid - 1][0].c_str(), nullptr));
    }
    EXPECT_FALSE(FeaturePtr(layer->GetFeature(0)));
    EXPECT_FALSE(FeaturePtr(layer->GetFeature(GIntBig(rows.size()) + 1)));
    ASSERT_EQ(layer->SetNextByIndex(10), OGRERR_NONE);
    EXPECT_EQ(FeaturePtr(layer->GetNextFeature())->GetFID(), 11);
    ExpectSameRows(layer, rows, "after the file was removed");
}

TEST_F(GdalDriver, AttributeAndSpatialFiltersSelectTheConvertersRows) {
    Bytes bytes = RandomBinaryLog(31, 400);
    auto rows = ConverterRows(bytes, false, false);
    MemFile file("filters.log", bytes);
    DatasetPtr ds = OpenLog(file.Path());
    OGRLayer* layer = ds->GetLayer(0);
    GIntBig withNas = 0, nullBI = 0, inBox = 0;
    for (const auto& r : rows) {
        if (!r[5].empty() && std::strtod(r[5].c_str(), nullptr) > 60) ++withNas;
        if (r[3].empty()) ++nullBI;
        double x = std::strtod(r[0].c_str(), nullptr), y = std::strtod(r[1].c_str(), nullptr);
        if (x >= 7.501 && x <= 7.503 && y >= 51.5 && y <= 51.502) ++inBox;
    }
    ASSERT_GT(withNas, 0);
    ASSERT_GT(nullBI, 0);
    ASSERT_GT(inBox, 0);
    ASSERT_EQ(layer->SetAttributeFilter("Nas > 60"), OGRERR_NONE);
    EXPECT_EQ(layer->GetFeatureCount(), withNas);
    ASSERT_EQ(layer->SetAttributeFilter("BI IS NULL"), OGRERR_NONE);
    EXPECT_EQ(layer->GetFeatureCount(), nullBI);
    layer->SetAttributeFilter(nullptr);
    layer->SetSpatialFilterRect(7.501, 51.5, 7.503, 51.502);
    EXPECT_EQ(layer->GetFeatureCount(), inBox);
    GIntBig iterated = 0;
    layer->ResetReading();
    while (FeaturePtr(layer->GetNextFeature())) ++iterated;
    EXPECT_EQ(iterated, inBox);
}

TEST_F(GdalDriver, HeaderTextsAndAreaAreMetadataAndUpdateIsRefused) {
    logwriter::BinaryHeader header;
    header.textC = "North Field";
    header.textE = "B\xE4renwiese";  // 8-bit text in the terminal's code page
    header.area = "9.12ha";
    MemFile file("header.log", BinaryLogWriter(header).Position(515000000, 75000000, 10).Data());
    DatasetPtr ds = OpenLog(file.Path());
    ASSERT_TRUE(ds);
    EXPECT_STREQ(ds->GetMetadataItem("LOG_FORMAT"), "binary");
    EXPECT_STREQ(ds->GetMetadataItem("HEADER_TEXT_A"), "Terminal");
    EXPECT_STREQ(ds->GetMetadataItem("HEADER_TEXT_C"), "North Field");
    EXPECT_STREQ(ds->GetMetadataItem("HEADER_TEXT_E"), "B\xC3\xA4renwiese");
    EXPECT_STREQ(ds->GetMetadataItem("AREA_HA"), "9.12");
    OGRLayer* layer = ds->GetLayer(0);
    EXPECT_EQ(layer->GetGeomType(), wkbPoint25D);
    EXPECT_TRUE(layer->GetSpatialRef()->IsSame(OGRSpatialReference::GetWGS84SRS()));
    EXPECT_EQ(layer->GetLayerDefn()->GetFieldDefn(layer->GetLayerDefn()->GetFieldIndex("Marker1"))->GetType(),
              OFTInteger);
    EXPECT_EQ(layer->GetLayerDefn()->GetFieldDefn(layer->GetLayerDefn()->GetFieldIndex("Nc"))->GetType(), OFTReal);
    EXPECT_FALSE(layer->TestCapability(OLCSequentialWrite));

    std::string messages = Capture([&] {
        const char* drivers[] = {korvexgdal::kDriverName, nullptr};
        GDALDataset* update = GDALDataset::Open(file.Path().c_str(), GDAL_OF_VECTOR | GDAL_OF_UPDATE, drivers);
        EXPECT_EQ(update, nullptr);
        if (update) GDALClose(update);
    });
    EXPECT_NE(messages.find("read-only"), std::string::npos) << messages;
}

// The offset map grids and shape files of a publish. The grids of these tests are kept in the
// build tree with what an independent reader must find in them (expect.json); the test
// "publisher_readers" reads them with GDAL afterwards and counts every row's values.
#include "PublisherFixture.h"

#include <cstdlib>

namespace pubtest {
namespace {

// The folder kept for the readers, as Windows sees it (the build tree lies on drive Z:).
std::filesystem::path ReaderFolder(const std::string& test) {
    const char* unixPath = std::getenv("NIVRA_PUBLISH_OUT");
    std::string path =
        unixPath ? std::string("Z:") + unixPath : std::filesystem::temp_directory_path().string() + "\\publisher-out";
    for (char& c : path)
        if (c == '/') c = '\\';
    std::filesystem::path folder = std::filesystem::path(path) / test;
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    return folder;
}

class OffsetMap : public Publisher {
protected:
    // Publishes one task with this prescription on the field "Plot A" into the readers' folder.
    void PublishPrescription(const std::string& test, const Json& prescription) {
        out = ReaderFolder(test);
        if (!publisher) {
            ASSERT_HRESULT_SUCCEEDED(CreatePublisher(publisher));
        }
        SetDestination(out.string());
        Json rx = prescription;
        rx["id"] = "RX";
        Json plan{{"nodes",
                   {Node("f", "farm", "", "Hof"), Node("fld", "field", "f", "Plot A"), CropZone("cz", "fld", "wheat")}},
                  {"operations", {Operation("cz", "", "RX")}},
                  {"prescriptions", {rx}}};
        EXPECT_TRUE(Publish(plan));
    }
    std::string Grid() const { return ReadFile(out / "Plot_A_OffsetMap.grd"); }
    bool HasGrid() const { return std::filesystem::exists(out / "Plot_A_OffsetMap.grd"); }
    bool HasShape() const {
        return std::filesystem::exists(out / "Plot_A_OffsetMap.shp") &&
               std::filesystem::exists(out / "Plot_A_OffsetMap.shx") &&
               std::filesystem::exists(out / "Plot_A_OffsetMap.dbf");
    }
    // What GDAL must report for the grid: size, the outer corner and cell size, min and max of
    // the rated cells (null: no rated cell); and how many features the shape file holds.
    void ExpectForReaders(const Json& grid, const Json& shape = nullptr) {
        Json expect{{"grid", grid}};
        expect["grid"]["file"] = "Plot_A_OffsetMap.grd";
        if (!shape.is_null()) expect["shape"] = shape;
        std::ofstream(out / "expect.json") << expect.dump(2);
    }

    std::filesystem::path out;
};

const std::string kBlank = "1.70141e+38 ";

// Rows from the lowest y, cells from the lowest x; a row of seven values on one line and an
// empty line after each row; cells outside every zone carry the blank value.
TEST_F(OffsetMap, SevenColumnsMakeOneLinePerRow) {
    ASSERT_HRESULT_SUCCEEDED(CreatePublisher(publisher));
    PublishPrescription("nx7", {{"zones",
                                 {RectZone(0, 0, 90, 30, {{"N", 40}}), RectZone(90, 0, 210, 30, {{"N", 45.5}}),
                                  RectZone(0, 30, 150, 60, {{"N", 52}})}}});
    EXPECT_EQ(Grid(), Lines({"DSAA", "7 2", "15.000000 195.000000", "15.000000 45.000000", "40.000000 52.000000",
                             "40.000000 40.000000 40.000000 45.500000 45.500000 45.500000 45.500000 ", "",
                             "52.000000 52.000000 52.000000 52.000000 52.000000 " + kBlank + kBlank, ""}));
    ExpectForReaders({{"size", {7, 2}}, {"origin", {0, 60}}, {"pixel", {30, -30}}, {"min", 40}, {"max", 52}});
}

// Ten values to a line: a row of twenty breaks after the tenth value and ends in three line feeds.
TEST_F(OffsetMap, TwentyColumnsBreakAfterTenValues) {
    ASSERT_HRESULT_SUCCEEDED(CreatePublisher(publisher));
    PublishPrescription("nx20", {{"zones", {RectZone(0, 0, 600, 60, {{"N", 10}})}}});
    std::string ten;
    for (int i = 0; i < 10; ++i) ten += "10.000000 ";
    std::string row = ten + "\r\n" + ten + "\r\n\r\n\r\n";
    EXPECT_EQ(Grid(), Lines({"DSAA", "20 2", "15.000000 585.000000", "15.000000 45.000000", "10.000000 10.000000"}) +
                          row + row);
    ExpectForReaders({{"size", {20, 2}}, {"origin", {0, 60}}, {"pixel", {30, -30}}, {"min", 10}, {"max", 10}});
}

// No rated cell: the z line keeps its start values, the largest double and the smallest
// positive normal double, both printed with six decimals.
TEST_F(OffsetMap, AllBlankGridKeepsTheStartValues) {
    ASSERT_HRESULT_SUCCEEDED(CreatePublisher(publisher));
    PublishPrescription("blank", {{"products", {"N"}}, {"zones", Json::array()}, {"extent", {0, 0, 60, 60}}});
    std::string grid = Grid();
    const std::string largest =
        "17976931348623157081452742373170435679807056752584499659891747680315726078002853876058955863276687817154045895"
        "3514382464234321326"
        "88946418276846754670353751698604991057655128207624549009038932894407586850845513394230458323690322294816580855"
        "9332123348274797826"
        "204144723168738177180919299881250404026184124858368.000000";
    EXPECT_EQ(grid, Lines({"DSAA", "2 2", "15.000000 45.000000", "15.000000 45.000000", largest + " 0.000000",
                           kBlank + kBlank, "", kBlank + kBlank, ""}));
    ExpectForReaders({{"size", {2, 2}}, {"origin", {0, 60}}, {"pixel", {30, -30}}, {"min", nullptr}, {"max", nullptr}});
}

// Zones that carry different products: a cell without a rate for the exported product is a
// blank cell, so the grid keeps nx * ny values and its row breaks.
TEST_F(OffsetMap, CellWithoutTheProductsRateIsBlank) {
    ASSERT_HRESULT_SUCCEEDED(CreatePublisher(publisher));
    PublishPrescription("mixed",
                        {{"products", {"N", "S"}},
                         {"zones", {RectZone(0, 0, 60, 60, {{"N", 40}}), RectZone(60, 0, 120, 60, {{"S", 5}})}}});
    EXPECT_EQ(Grid(),
              Lines({"DSAA", "4 2", "15.000000 105.000000", "15.000000 45.000000", "40.000000 40.000000",
                     "40.000000 40.000000 " + kBlank + kBlank, "", "40.000000 40.000000 " + kBlank + kBlank, ""}));
    ExpectForReaders({{"size", {4, 2}}, {"origin", {0, 60}}, {"pixel", {30, -30}}, {"min", 40}, {"max", 40}});
}

// An item of the rate set that is no rate is passed over: the grid is of the next product.
TEST_F(OffsetMap, RateSetItemThatIsNoRateIsPassedOver) {
    ASSERT_HRESULT_SUCCEEDED(CreatePublisher(publisher));
    PublishPrescription("foreign", {{"products", {"P1", "P2"}},
                                    {"foreignFirstItem", true},
                                    {"zones", {RectZone(0, 0, 60, 30, {{"P1", 10}, {"P2", 20}})}}});
    EXPECT_EQ(Grid(), Lines({"DSAA", "2 1", "15.000000 45.000000", "15.000000 15.000000", "10.000000 10.000000",
                             "10.000000 10.000000 ", ""}));
}

TEST_F(OffsetMap, ShapeFileOnlyWhenExportIsExactlyYes) {
    const Json zones{{"zones", {RectZone(0, 0, 90, 60, {{"N", 40}}), RectZone(90, 0, 150, 60, {{"N", 60}})}}};
    struct Case {
        const char* value;
        bool shape;
    } const cases[] = {{"Yes", true}, {"No", false}, {"yes", false}, {"Yes ", false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        ASSERT_HRESULT_SUCCEEDED(CreatePublisher(publisher));
        ChooseOption(L"Export", c.value);
        std::string test = std::string("export-") + (c.shape ? "yes" : "no");
        PublishPrescription(test, zones);
        EXPECT_TRUE(HasGrid());
        EXPECT_EQ(HasShape(), c.shape);
        if (c.shape)
            ExpectForReaders({{"size", {5, 2}}, {"origin", {0, 60}}, {"pixel", {30, -30}}, {"min", 40}, {"max", 60}},
                             {{"file", "Plot_A_OffsetMap.shp"}, {"features", 2}});
        publisher.Reset();
    }
}

// Without a rate set there is no grid, yet the shape file is still asked for.
TEST_F(OffsetMap, PrescriptionWithoutRateSetStillGetsItsShapeFile) {
    ASSERT_HRESULT_SUCCEEDED(CreatePublisher(publisher));
    ChooseOption(L"Export", "Yes");
    PublishPrescription("no-rates", {{"rateSet", false}, {"zones", {RectZone(0, 0, 60, 60, {{"N", 40}})}}});
    EXPECT_FALSE(HasGrid());
    EXPECT_TRUE(HasShape());
}

// A host without a property list: the publisher has no options, so no shape file and no
// reading back; its options slot says so.
TEST_F(OffsetMap, WithoutOptionsObjectNoShapeFile) {
    host.SetClassEnabled(L"VANDOR.vnProperties", false);
    ASSERT_HRESULT_SUCCEEDED(CreatePublisher(publisher));
    ComPtr<IvnProperties> options;
    EXPECT_EQ(E_POINTER, publisher->get_Options(options.GetAddressOf()));
    PublishPrescription("no-options", {{"zones", {RectZone(0, 0, 60, 60, {{"N", 40}})}}});
    EXPECT_TRUE(HasGrid());
    EXPECT_FALSE(HasShape());
}

}  // namespace
}  // namespace pubtest

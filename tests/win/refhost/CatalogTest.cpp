// The host's catalog as a farm plan describes it: the field tree in the plan's order with
// parents that may come later, crop zones with their crops, operations (one of them lost)
// on the tree's own nodes, prescriptions; and the plans it refuses, with the reason.
#include "RefHostFixture.h"

#include <string>

namespace {

class Catalog : public RefHost {
protected:
    // RefHostCreatePublishCatalog: S_OK and the catalog, or the failure and its reason.
    HRESULT FromPlan(const Json& plan, ComPtr<IvnCatalog>& catalog, std::string* reason = nullptr) {
        using Create = HRESULT (*)(const char*, IUnknown**, char*, LONG);
        auto create = reinterpret_cast<Create>(
            reinterpret_cast<void*>(GetProcAddress(host.Module(), "RefHostCreatePublishCatalog")));
        if (!create) return E_NOTIMPL;
        ComPtr<IUnknown> object;
        char error[512] = {};
        HRESULT hr = create(plan.dump().c_str(), object.GetAddressOf(), error, sizeof error);
        if (reason) *reason = error;
        if (object) {
            EXPECT_HRESULT_SUCCEEDED(object.As(&catalog));
        }
        return hr;
    }
    static std::wstring Text(HRESULT (STDMETHODCALLTYPE IvnField::*get)(BSTR*), IvnField* node,
                             bool* isNull = nullptr) {
        Bstr text;
        EXPECT_HRESULT_SUCCEEDED((node->*get)(text.Out()));
        if (isNull) *isNull = text.Get() == nullptr;
        return text.Text();
    }
};

Json Plan() {
    return Json{{"nodes",
                 {{{"key", "cz"}, {"kind", "cropZone"}, {"parent", "fld"}, {"cropKey", "wheat"}},
                  {{"key", "fld"}, {"kind", "field"}, {"name", "Plot"}, {"parent", "f"}, {"area", {{"value", 2.5}}}},
                  {{"key", "f"}, {"kind", 0x80}, {"name", "Farm"}, {"nullName", true}}}},
                {"crops", {{{"key", "wheat"}, {"name", "Winter wheat"}}, {{"key", "oats"}}}},
                {"operations",
                 {{{"node", "cz"}, {"comment", "dose"}, {"prescription", "RX"}},
                  nullptr,
                  {{"node", "fld"}, {"nullComment", true}}}},
                {"prescriptions",
                 {{{"id", "RX"}, {"zones", {{{"polygon", {{0, 0}, {10, 0}, {10, 10}}}, {"rates", {{"N", 40}}}}}}}}}};
}

TEST_F(Catalog, PlanGivesTheTreeCropsOperationsAndPrescriptions) {
    ComPtr<IvnCatalog> catalog;
    ASSERT_EQ(FromPlan(Plan(), catalog), S_OK);
    ASSERT_TRUE(catalog);

    ComPtr<IvnFields> nodes;
    ASSERT_HRESULT_SUCCEEDED(catalog->get_Fields(nodes.GetAddressOf()));
    LONG count = 0;
    ASSERT_HRESULT_SUCCEEDED(nodes->get_Count(&count));
    EXPECT_EQ(count, 3);
    ComPtr<IvnField> zone, field, farm, parent;
    ASSERT_HRESULT_SUCCEEDED(nodes->get_Item(*Variant::Int(1).Get(), zone.GetAddressOf()));
    ASSERT_HRESULT_SUCCEEDED(nodes->get_Item(*Variant::Text(L"fld").Get(), field.GetAddressOf()));
    ASSERT_HRESULT_SUCCEEDED(nodes->get_Item(*Variant::Text(L"f").Get(), farm.GetAddressOf()));
    ASSERT_TRUE(zone && field && farm);
    EXPECT_EQ(Text(&IvnField::get_Key, zone.Get()), L"cz") << "the plan's order is kept";
    ASSERT_HRESULT_SUCCEEDED(zone->get_Parent(parent.GetAddressOf()));
    EXPECT_EQ(parent.Get(), field.Get()) << "a parent listed later is still the tree's node";

    // The crop zone answers its crop key, and IvnField again from IvnCropZone; the field does not.
    ComPtr<IvnCropZone> asZone;
    ASSERT_HRESULT_SUCCEEDED(zone.As(&asZone));
    Bstr cropKey;
    ASSERT_HRESULT_SUCCEEDED(asZone->get_CropKey(cropKey.Out()));
    EXPECT_EQ(cropKey.Text(), L"wheat");
    EXPECT_EQ(As<IvnField>(asZone.Get()).Get(), zone.Get());
    EXPECT_EQ(field.As(&asZone), E_NOINTERFACE);

    bool isNull = false;
    EXPECT_EQ(Text(&IvnField::get_Name, field.Get(), &isNull), L"Plot");
    EXPECT_FALSE(isNull);
    Text(&IvnField::get_Name, farm.Get(), &isNull);
    EXPECT_TRUE(isNull) << "nullName";
    EXPECT_EQ(Describe(field.Get())["area"]["unit"], "ha") << "hectares unless the plan names a unit";
    EXPECT_EQ(Describe(field.Get())["area"]["value"], 2.5);
    ComPtr<IkelMeasure> area;
    ASSERT_HRESULT_SUCCEEDED(farm->get_Area(area.GetAddressOf()));
    EXPECT_FALSE(area) << "a node without an area in the plan has none";

    ComPtr<IvnCropList> crops;
    ComPtr<IvnCrop> crop;
    ASSERT_HRESULT_SUCCEEDED(catalog->get_CropList(crops.GetAddressOf()));
    ASSERT_HRESULT_SUCCEEDED(crops->get_Count(&count));
    EXPECT_EQ(count, 2);
    ASSERT_HRESULT_SUCCEEDED(crops->get_Item(*Variant::Text(L"wheat").Get(), crop.GetAddressOf()));
    ASSERT_TRUE(crop);
    Bstr cropName;
    ASSERT_HRESULT_SUCCEEDED(crop->get_Name(cropName.Out()));
    EXPECT_EQ(cropName.Text(), L"Winter wheat");
    ASSERT_HRESULT_SUCCEEDED(crops->get_Item(*Variant::Int(2).Get(), crop.ReleaseAndGetAddressOf()));
    ASSERT_TRUE(crop);
    ASSERT_HRESULT_SUCCEEDED(crop->get_Name(cropName.Out()));
    EXPECT_EQ(cropName.Text(), L"oats") << "a crop without a name is named by its key";

    // Operations: the second is one the host has lost; the others sit on the tree's nodes.
    ComPtr<IvnOperationDataList> operations;
    ASSERT_HRESULT_SUCCEEDED(catalog->get_OperationDataList(operations.GetAddressOf()));
    ASSERT_HRESULT_SUCCEEDED(operations->get_Count(&count));
    EXPECT_EQ(count, 3);
    ComPtr<IvnOperationData> operation;
    ASSERT_HRESULT_SUCCEEDED(operations->get_Item(*Variant::Int(2).Get(), operation.GetAddressOf()));
    EXPECT_FALSE(operation);
    struct {
        LONG index;
        IvnField* node;
        const wchar_t* comment;  // null: comes back null
        const wchar_t* prescription;
    } cases[] = {{1, zone.Get(), L"dose", L"RX"}, {3, field.Get(), nullptr, L""}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.index);
        ASSERT_HRESULT_SUCCEEDED(
            operations->get_Item(*Variant::Int(c.index).Get(), operation.ReleaseAndGetAddressOf()));
        ASSERT_TRUE(operation);
        ComPtr<IvnField> node;
        ASSERT_HRESULT_SUCCEEDED(operation->get_Node(node.GetAddressOf()));
        EXPECT_EQ(node.Get(), c.node);
        Bstr comment, prescription;
        ASSERT_HRESULT_SUCCEEDED(operation->get_Comment(comment.Out()));
        ASSERT_HRESULT_SUCCEEDED(operation->get_PrescriptionId(prescription.Out()));
        EXPECT_EQ(comment.Get() == nullptr, c.comment == nullptr);
        EXPECT_EQ(comment.Text(), c.comment ? c.comment : L"");
        EXPECT_EQ(prescription.Text(), c.prescription);
    }

    ComPtr<IvnPrescriptionList> prescriptions;
    ASSERT_HRESULT_SUCCEEDED(catalog->get_PrescriptionList(prescriptions.GetAddressOf()));
    ASSERT_HRESULT_SUCCEEDED(prescriptions->get_Count(&count));
    EXPECT_EQ(count, 1);
}

// The import's settings and the plan's in one catalog: an operation of the plan may sit on a
// field of the import's settings, and lists named null come back null.
TEST_F(Catalog, ImportSettingsAndPlanMeetInOneCatalog) {
    Json settings{{"null", {"crops"}},
                  {"fields", {{{"key", "North"}, {"kind", 64}, {"area", {{"code", 67}, {"value", 30}}}}}},
                  {"products", {{{"key", "Urea"}}}},
                  {"operations", {{{"node", "North"}, {"comment", "dose"}}}}};
    ComPtr<IvnCatalog> catalog;
    std::string reason;
    ASSERT_EQ(FromPlan(settings, catalog, &reason), S_OK) << reason;
    ComPtr<IvnCropList> crops;
    ASSERT_HRESULT_SUCCEEDED(catalog->get_CropList(crops.GetAddressOf()));
    EXPECT_FALSE(crops);

    ComPtr<IvnFields> nodes;
    ComPtr<IvnField> field, node;
    ASSERT_HRESULT_SUCCEEDED(catalog->get_Fields(nodes.GetAddressOf()));
    ASSERT_HRESULT_SUCCEEDED(nodes->get_Item(*Variant::Text(L"North").Get(), field.GetAddressOf()));
    ASSERT_TRUE(field);
    EXPECT_EQ(Describe(field.Get())["area"]["unit"], "ac");
    ComPtr<IvnOperationDataList> operations;
    ComPtr<IvnOperationData> operation;
    ASSERT_HRESULT_SUCCEEDED(catalog->get_OperationDataList(operations.GetAddressOf()));
    ASSERT_HRESULT_SUCCEEDED(operations->get_Item(*Variant::Int(1).Get(), operation.GetAddressOf()));
    ASSERT_TRUE(operation);
    ASSERT_HRESULT_SUCCEEDED(operation->get_Node(node.GetAddressOf()));
    EXPECT_EQ(node.Get(), field.Get());

    ComPtr<IvnProductList> products;
    ComPtr<IvnProduct> product;
    ASSERT_HRESULT_SUCCEEDED(catalog->get_ProductList(products.GetAddressOf()));
    ASSERT_HRESULT_SUCCEEDED(products->get_Item(*Variant::Text(L"Urea").Get(), product.GetAddressOf()));
    EXPECT_TRUE(product);
}

TEST_F(Catalog, BadPlansAreRefusedWithTheReason) {
    struct {
        Json plan;
        const char* reason;
    } cases[] = {
        {{{"nodes",
           {{{"key", "a"}, {"kind", "field"}, {"parent", "b"}}, {{"key", "b"}, {"kind", "farm"}, {"parent", "a"}}}}},
         "is its own ancestor"},
        {{{"nodes", {{{"key", "a"}, {"kind", "orchard"}}}}}, "unknown node kind \"orchard\""},
        {{{"nodes", {{{"key", "a"}, {"kind", "cropZone"}, {"parent", "b"}}}}}, "parent \"b\" is not a node"},
        {{{"nodes", {{{"key", "a"}, {"kind", "field"}}}}, {"operations", {{{"node", "z"}}}}},
         "\"z\" is not in the tree"},
        {{{"nodes", {{{"key", "a"}, {"kind", "field"}, {"area", {{"code", 66}}}}}}}, "value"},
    };
    for (const auto& c : cases) {
        ComPtr<IvnCatalog> catalog;
        std::string reason;
        EXPECT_EQ(FromPlan(c.plan, catalog, &reason), E_INVALIDARG) << c.plan.dump();
        EXPECT_FALSE(catalog);
        EXPECT_NE(reason.find(c.reason), std::string::npos) << reason;
    }
}

}  // namespace

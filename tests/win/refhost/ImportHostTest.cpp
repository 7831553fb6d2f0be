// The reference host's import side, driven the way a driver drives it: the file list, the
// import target and its session, the progress display, the field tree, the device model,
// and operations with their points, value slots, markers and attached entries.
#include "RefHostFixture.h"

namespace {

class ImportHost : public RefHost {
protected:
    ComPtr<IvnDataStore> NewStore(const std::string& settings = std::string()) {
        return host.Create<IvnDataStore>("dataStore", settings);
    }
    ComPtr<IvnField> CreateField(IvnDataStore* store, const wchar_t* key, LONG kind, const wchar_t* parent) {
        ComPtr<IvnField> field;
        EXPECT_HRESULT_SUCCEEDED(store->CreateField(Bstr(key).Get(), Bstr(key).Get(), kind, Bstr(parent).Get(),
                                                    Bstr(L"").Get(), field.GetAddressOf()));
        return field;
    }
    ComPtr<IvnOperation> CreateOperation(IvnDataStore* store, IvnField* field) {
        ComPtr<IvnOperation> operation;
        EXPECT_HRESULT_SUCCEEDED(store->CreateOperation(Bstr(L"N0001").Get(), 1, field, Bstr(L"Application").Get(),
                                                        operation.GetAddressOf()));
        return operation;
    }
    VARIANT_BOOL AddPoint(IvnOperation* operation, IkelMeasure* measure, double x) {
        VARIANT_BOOL accepted = VARIANT_FALSE;
        EXPECT_HRESULT_SUCCEEDED(
            operation->AddPoint(x, 50.0, 1.2e9, 1, -1, 0.0, measure, measure, measure, measure, &accepted));
        return accepted;
    }
    ComPtr<IvnPointValues> CurrentValues(IvnOperation* operation) {
        ComPtr<IvnOperationData> data;
        ComPtr<IvnPointValues> values;
        EXPECT_HRESULT_SUCCEEDED(operation->get_Data(data.GetAddressOf()));
        EXPECT_HRESULT_SUCCEEDED(data->get_PointValues(values.GetAddressOf()));
        return values;
    }
    ComPtr<IvnPointValue> Slot(IvnPointValues* values, const wchar_t* key) {
        ComPtr<IvnPointValue> slot;
        EXPECT_HRESULT_SUCCEEDED(values->get_Item(*Variant::Text(key).Get(), slot.GetAddressOf()));
        return slot;
    }
};

TEST_F(ImportHost, FileListKeepsColumnsSettingsAndTheFilesAddedToIt) {
    ComPtr<IvnFileList> list = host.Create<IvnFileList>("fileList");
    ComPtr<IUnknown> column;
    ASSERT_HRESULT_SUCCEEDED(
        list->AddColumn(Bstr(L"Size").Get(), Bstr(L"File Size").Get(), 80, 1, -1, column.GetAddressOf()));
    EXPECT_TRUE(column);
    ASSERT_HRESULT_SUCCEEDED(list->Slot9(0));
    ASSERT_HRESULT_SUCCEEDED(list->Slot7(-1));

    ComPtr<IvnFileListModel> model;
    ComPtr<IvnFiles> files;
    ASSERT_HRESULT_SUCCEEDED(list->get_Model(model.GetAddressOf()));
    ASSERT_HRESULT_SUCCEEDED(model->get_Files(files.GetAddressOf()));
    // Any COM object stands in for a driver's file here; the list only keeps it.
    ComPtr<IUnknown> file = host.Create("properties");
    ComPtr<IUnknown> added;
    ASSERT_HRESULT_SUCCEEDED(files->Add(reinterpret_cast<IvnFile*>(file.Get()), added.GetAddressOf()));
    EXPECT_EQ(added.Get(), file.Get());

    LONG count = 0;
    ASSERT_HRESULT_SUCCEEDED(files->get_Count(&count));
    EXPECT_EQ(count, 1);
    for (LONG index : {1, 0, 2}) {
        IvnFile* item = nullptr;
        ASSERT_HRESULT_SUCCEEDED(files->get_Item(*Variant::Int(index).Get(), &item));
        EXPECT_EQ(reinterpret_cast<IUnknown*>(item), index == 1 ? file.Get() : nullptr) << index;
        if (item) reinterpret_cast<IUnknown*>(item)->Release();
    }
    Json described = Describe(list.Get());
    EXPECT_EQ(described["columns"],
              (Json::array({{{"key", "Size"}, {"caption", "File Size"}, {"width", 80}, {"arg4", 1}, {"arg5", -1}}})));
    EXPECT_EQ(described["slot9"], Json::array({0}));
    EXPECT_EQ(described["slot7"], Json::array({-1}));
    EXPECT_EQ(described["files"]["count"], 1);
}

TEST_F(ImportHost, TargetsWithAndWithoutADataStoreHaveASession) {
    struct {
        const char* kind;
        bool hasStore;
    } cases[] = {{"dataStore", true}, {"importTarget", false}};
    for (const auto& c : cases) {
        ComPtr<IvnImportTarget> target = host.Create<IvnImportTarget>(c.kind);
        ComPtr<IvnDataStore> store;
        EXPECT_EQ(target.As(&store), c.hasStore ? S_OK : E_NOINTERFACE) << c.kind;
        ComPtr<IvnHostSession> session;
        ASSERT_HRESULT_SUCCEEDED(target->get_Session(session.GetAddressOf()));
        VARIANT_BOOL written = VARIANT_FALSE;
        ASSERT_HRESULT_SUCCEEDED(session->WriteSummary(Bstr(L"Summary.zqs").Get(), 32767, &written));
        EXPECT_EQ(written, VARIANT_TRUE);
        EXPECT_EQ(Describe(session.Get())["summaries"], (Json::array({{{"file", "Summary.zqs"}, {"arg", 32767}}})))
            << c.kind;
    }
}

TEST_F(ImportHost, ProgressRemembersRangePositionsAndFinish) {
    ComPtr<IvnProgress> progress = host.Create<IvnProgress>("progress");
    ASSERT_HRESULT_SUCCEEDED(progress->SetRange(2, 0.0, 1536.0));
    VARIANT_BOOL ignored;
    ASSERT_HRESULT_SUCCEEDED(progress->SetPosition(100.0, &ignored));
    ASSERT_HRESULT_SUCCEEDED(progress->SetPosition(250.0, &ignored));
    ASSERT_HRESULT_SUCCEEDED(progress->Finish());
    EXPECT_EQ(Describe(progress.Get()), (Json{{"ranges", Json::array({Json::array({2, 0.0, 1536.0})})},
                                              {"positions", {100.0, 250.0}},
                                              {"finished", 1}}));
}

TEST_F(ImportHost, FieldTreeNodesKnowTheirParentKindAndOneAreaMeasure) {
    ComPtr<IvnDataStore> store = NewStore();
    ComPtr<IvnField> farm = CreateField(store.Get(), L"Home Farm", 128, L"");
    ComPtr<IvnField> field = CreateField(store.Get(), L"North", 64, L"Home Farm");
    ComPtr<IvnField> orphan = CreateField(store.Get(), L"Lost", 64, L"No Such Farm");
    ComPtr<IvnField> zone = CreateField(store.Get(), L"North 2008", 0x20, L"North");

    ComPtr<IvnCatalog> catalog;
    ComPtr<IvnFields> nodes;
    ASSERT_HRESULT_SUCCEEDED(store->get_Catalog(catalog.GetAddressOf()));
    ASSERT_HRESULT_SUCCEEDED(catalog->get_Fields(nodes.GetAddressOf()));
    ComPtr<IvnField> found, parent;
    ASSERT_HRESULT_SUCCEEDED(nodes->get_Item(*Variant::Text(L"North").Get(), found.GetAddressOf()));
    EXPECT_EQ(found.Get(), field.Get());
    ASSERT_HRESULT_SUCCEEDED(nodes->get_Item(*Variant::Int(1, VT_INT).Get(), found.ReleaseAndGetAddressOf()));
    EXPECT_EQ(found.Get(), farm.Get());
    ASSERT_HRESULT_SUCCEEDED(nodes->get_Item(*Variant::Text(L"north").Get(), found.ReleaseAndGetAddressOf()));
    EXPECT_FALSE(found) << "keys are compared exactly";

    ASSERT_HRESULT_SUCCEEDED(field->get_Parent(parent.GetAddressOf()));
    EXPECT_EQ(parent.Get(), farm.Get());
    ASSERT_HRESULT_SUCCEEDED(orphan->get_Parent(parent.ReleaseAndGetAddressOf()));
    EXPECT_FALSE(parent);
    ASSERT_HRESULT_SUCCEEDED(farm->get_Parent(parent.ReleaseAndGetAddressOf()));
    EXPECT_FALSE(parent);

    // Only a crop zone answers IvnCropZone; every node answers IvnField.
    for (IvnField* node : {farm.Get(), field.Get(), zone.Get()}) {
        LONG kind = 0;
        ASSERT_HRESULT_SUCCEEDED(node->get_Kind(&kind));
        ComPtr<IvnCropZone> asZone;
        EXPECT_EQ(node->QueryInterface(__uuidof(IvnCropZone), reinterpret_cast<void**>(asZone.GetAddressOf())),
                  kind == 0x20 ? S_OK : E_NOINTERFACE)
            << kind;
        EXPECT_TRUE(As<IvnField>(node));
    }

    // Setting the unit on one fetch and the value on the next changes the same area.
    ComPtr<IkelMeasure> first, second;
    ASSERT_HRESULT_SUCCEEDED(field->get_Area(first.GetAddressOf()));
    ASSERT_HRESULT_SUCCEEDED(first->put_UnitCode(66));
    ASSERT_HRESULT_SUCCEEDED(field->get_Area(second.GetAddressOf()));
    ASSERT_HRESULT_SUCCEEDED(second->put_Value(12.5));
    Json described = Describe(field.Get());
    EXPECT_EQ(described["area"]["unit"], "ha");
    EXPECT_EQ(described["area"]["value"], 12.5);
    EXPECT_EQ(described["parent"], "Home Farm");
}

TEST_F(ImportHost, CatalogListsCanComeBackNullAndBePreset) {
    ComPtr<IvnDataStore> store = NewStore(R"({"catalog":{"null":["fields"],"products":[{"key":"Unknown_Product"}]}})");
    ComPtr<IvnCatalog> catalog;
    ASSERT_HRESULT_SUCCEEDED(store->get_Catalog(catalog.GetAddressOf()));
    ComPtr<IvnFields> nodes;
    ASSERT_HRESULT_SUCCEEDED(catalog->get_Fields(nodes.GetAddressOf()));
    EXPECT_FALSE(nodes);
    ComPtr<IvnProductList> products;
    ASSERT_HRESULT_SUCCEEDED(catalog->get_ProductList(products.GetAddressOf()));
    ASSERT_TRUE(products);
    ComPtr<IvnProduct> product;
    ASSERT_HRESULT_SUCCEEDED(products->get_Item(*Variant::Text(L"Unknown_Product").Get(), product.GetAddressOf()));
    EXPECT_TRUE(product);
    ASSERT_HRESULT_SUCCEEDED(products->get_Item(*Variant::Text(L"Other").Get(), product.ReleaseAndGetAddressOf()));
    EXPECT_FALSE(product);
}

TEST_F(ImportHost, PointsGetAValueSlotPerColumnOfTheAttachedMachines) {
    ComPtr<IkelUOMFactory> units = NewUnitsFactory();
    ASSERT_TRUE(units);
    ComPtr<IvnDataStore> store = NewStore();
    ComPtr<IvnMachine> machine;
    ASSERT_HRESULT_SUCCEEDED(store->CreateMachine(Bstr(L"VirtualMachine").Get(), Bstr(L"Sensor Machine").Get(),
                                                  Bstr(L"").Get(), 0, machine.GetAddressOf()));
    ComPtr<IvnComponentParent> parent = As<IvnComponentParent>(machine.Get());
    ComPtr<IkelQuantity> context;
    ASSERT_HRESULT_SUCCEEDED(units->CreateQuantity(0, 0, context.GetAddressOf()));
    Variant handed;
    ASSERT_HRESULT_SUCCEEDED(context->get_Value(handed.Out()));
    ComPtr<IUnknown> component;
    ASSERT_HRESULT_SUCCEEDED(store->CreateComponent(parent.Get(), Bstr(L"VirtualComponent").Get(), Bstr(L"").Get(),
                                                    Bstr(L"").Get(), *handed.Get(), 0.0, 0.0, 0.0, 0.0, 2, 1,
                                                    component.GetAddressOf()));
    struct {
        const wchar_t* key;
        LONG code, perCode;
    } columns[] = {{L"Biomass_Index", 0, 0}, {L"N_Target", 36, 66}};
    for (const auto& c : columns) {
        ComPtr<IUnknown> unit;
        ComPtr<IvnDataColumn> column;
        ASSERT_HRESULT_SUCCEEDED(units->CreateUnit(c.code, c.perCode, unit.GetAddressOf()));
        ASSERT_HRESULT_SUCCEEDED(store->CreateDataColumn(component.Get(), Bstr(c.key).Get(), Bstr(c.key).Get(),
                                                         Bstr(L"").Get(), Bstr(c.key).Get(), unit.Get(), 0, -1, 0, 0,
                                                         column.GetAddressOf()));
    }
    ComPtr<IkelMeasure> measure = NewMeasure(units.Get(), 33, 0, 101.5);
    ComPtr<IvnOperation> operation = CreateOperation(store.Get(), CreateField(store.Get(), L"North", 64, L"").Get());

    // Before the machine is attached a point has no value slots.
    ASSERT_EQ(AddPoint(operation.Get(), measure.Get(), 8.0), VARIANT_TRUE);
    EXPECT_FALSE(Slot(CurrentValues(operation.Get()).Get(), L"N_Target"));

    ComPtr<IUnknown> entry;
    ASSERT_HRESULT_SUCCEEDED(operation->AddMachine(machine.Get(), 0, Bstr(L"").Get(), -1, entry.GetAddressOf()));
    ASSERT_EQ(AddPoint(operation.Get(), measure.Get(), 8.5), VARIANT_TRUE);
    ComPtr<IvnPointValue> slot = Slot(CurrentValues(operation.Get()).Get(), L"N_Target");
    ASSERT_TRUE(slot);
    EXPECT_FALSE(Slot(CurrentValues(operation.Get()).Get(), L"Rate")) << "no column, no slot";
    ComPtr<IkelMeasure> value;
    ASSERT_HRESULT_SUCCEEDED(slot->get_Measure(value.GetAddressOf()));
    ASSERT_HRESULT_SUCCEEDED(value->SetValue(42.0, 36, 66));
    ASSERT_HRESULT_SUCCEEDED(
        operation->AddMarkerEvent(Bstr(L"Marker2").Get(), Bstr(L"Marker 2").Get(), entry.ReleaseAndGetAddressOf()));
    VARIANT_BOOL ended = VARIANT_FALSE;
    ASSERT_HRESULT_SUCCEEDED(operation->EndPoint(&ended));

    Json point = Describe(operation.Get())["points"][1];
    EXPECT_EQ(point["x"], 8.5);
    EXPECT_EQ(point["measures"][3]["value"], 101.5);
    EXPECT_EQ(point["values"]["N_Target"], (Json{{"code", 36}, {"perCode", 66}, {"unit", "kg/ha"}, {"value", 42.0}}));
    EXPECT_EQ(point["values"]["Biomass_Index"]["value"], 0.0);
    EXPECT_EQ(point["events"], (Json::array({{"Marker2", "Marker 2"}})));
    EXPECT_EQ(point["ended"], true);

    // A measure still held from that point keeps writing to it; slots nobody holds any more
    // serve the next point, and every point keeps its own values.
    for (int k = 0; k < 3; ++k) {
        ASSERT_EQ(AddPoint(operation.Get(), measure.Get(), 9.0 + k), VARIANT_TRUE);
        ComPtr<IkelMeasure> latest;
        ASSERT_HRESULT_SUCCEEDED(
            Slot(CurrentValues(operation.Get()).Get(), L"N_Target")->get_Measure(latest.GetAddressOf()));
        ASSERT_HRESULT_SUCCEEDED(latest->SetValue(70.0 + k, 36, 66));
        if (k == 0) {
            ASSERT_HRESULT_SUCCEEDED(value->SetValue(43.0, 36, 66));
            slot.Reset();
            value.Reset();
        }
    }
    Json points = Describe(operation.Get())["points"];
    ASSERT_EQ(points.size(), 5u);
    EXPECT_EQ(points[1]["values"]["N_Target"]["value"], 43.0);
    for (int k = 0; k < 3; ++k) {
        EXPECT_EQ(points[2 + k]["values"]["N_Target"]["value"], 70.0 + k) << "point " << 2 + k;
        EXPECT_EQ(points[2 + k]["values"]["Biomass_Index"]["value"], 0.0) << "point " << 2 + k;
        EXPECT_EQ(points[2 + k]["events"], Json::array()) << "point " << 2 + k;
    }
    Json component0 = Describe(store.Get())["machines"][0]["components"][0];
    EXPECT_EQ(component0["value"], "") << "the units context's value reached the component";
    EXPECT_EQ(component0["columns"][1]["unit"], "kg/ha");
}

TEST_F(ImportHost, OperationListsFindWhatWasAttachedByKey) {
    ComPtr<IvnDataStore> store = NewStore(R"({"operationPresets":{"products":["Unknown_Product"]}})");
    ComPtr<IvnMachine> machine;
    ASSERT_HRESULT_SUCCEEDED(store->CreateMachine(Bstr(L"VirtualMachine").Get(), Bstr(L"M").Get(), Bstr(L"").Get(), 0,
                                                  machine.GetAddressOf()));
    ComPtr<IvnOperation> operation = CreateOperation(store.Get(), nullptr);
    ComPtr<IvnOperationData> data;
    ASSERT_HRESULT_SUCCEEDED(operation->get_Data(data.GetAddressOf()));
    ComPtr<IvnOperationMachines> machines;
    ComPtr<IvnOperationProducts> products;
    ComPtr<IvnOperationContainers> containers;
    ASSERT_HRESULT_SUCCEEDED(data->get_Machines(machines.GetAddressOf()));
    ASSERT_HRESULT_SUCCEEDED(data->get_Products(products.GetAddressOf()));
    ASSERT_HRESULT_SUCCEEDED(data->get_Containers(containers.GetAddressOf()));

    ComPtr<IUnknown> entry;
    ASSERT_HRESULT_SUCCEEDED(machines->get_Item(*Variant::Text(L"VirtualMachine").Get(), entry.GetAddressOf()));
    EXPECT_FALSE(entry);
    ASSERT_HRESULT_SUCCEEDED(operation->AddMachine(machine.Get(), 0, Bstr(L"").Get(), -1, nullptr));
    ASSERT_HRESULT_SUCCEEDED(machines->get_Item(*Variant::Text(L"VirtualMachine").Get(), entry.GetAddressOf()));
    EXPECT_TRUE(entry);
    ASSERT_HRESULT_SUCCEEDED(
        products->get_Item(*Variant::Text(L"Unknown_Product").Get(), entry.ReleaseAndGetAddressOf()));
    EXPECT_TRUE(entry) << "preset entry";

    // A load with neither product entry nor container is accepted and answers IvnOperationLoad.
    ASSERT_HRESULT_SUCCEEDED(operation->AddContainer(nullptr, nullptr, 1.0, entry.ReleaseAndGetAddressOf()));
    ASSERT_TRUE(entry);
    EXPECT_TRUE(As<IvnOperationLoad>(entry.Get()));
    ASSERT_HRESULT_SUCCEEDED(
        containers->get_Item(*Variant::Text(L"VirtualContainer").Get(), entry.ReleaseAndGetAddressOf()));
    EXPECT_FALSE(entry);

    // Operation, properties, extent and texts as the driver sets them.
    ComPtr<IvnProperties> properties;
    ComPtr<IvnExtent> extent;
    ASSERT_HRESULT_SUCCEEDED(data->get_Properties(properties.GetAddressOf()));
    ASSERT_HRESULT_SUCCEEDED(
        properties->Add(Bstr(L"Field").Get(), Bstr(L"Field").Get(), Bstr(L"North").Get(), nullptr));
    ASSERT_HRESULT_SUCCEEDED(data->get_Extent(extent.GetAddressOf()));
    ASSERT_HRESULT_SUCCEEDED(extent->Slot12(0));
    ASSERT_HRESULT_SUCCEEDED(extent->put_TimeZoneHours(1.0));
    ASSERT_HRESULT_SUCCEEDED(data->put_Name(Bstr(L"N0001").Get()));
    ASSERT_HRESULT_SUCCEEDED(
        operation->DeclareMarker(Bstr(L"Marker1").Get(), Bstr(L"Marker 1").Get(), entry.ReleaseAndGetAddressOf()));
    Json described = Describe(operation.Get());
    EXPECT_EQ(described["kind"], "Application");
    EXPECT_EQ(described["properties"][0]["value"], "North");
    EXPECT_EQ(described["extent"]["timeZoneHours"], Json::array({1.0}));
    EXPECT_EQ(described["dataName"], "N0001");
    EXPECT_EQ(described["markerKinds"], (Json::array({{"Marker1", "Marker 1"}})));
    EXPECT_EQ(described["node"], nullptr);
}

TEST_F(ImportHost, RefusalsAHostMayAnswer) {
    ComPtr<IvnDataStore> store = NewStore(R"({"acceptPoints":false,"machinesAreParents":false})");
    ComPtr<IvnMachine> machine;
    ASSERT_HRESULT_SUCCEEDED(
        store->CreateMachine(Bstr(L"M").Get(), Bstr(L"M").Get(), Bstr(L"").Get(), 0, machine.GetAddressOf()));
    ComPtr<IvnComponentParent> parent;
    EXPECT_EQ(machine.As(&parent), E_NOINTERFACE);
    ComPtr<IvnContainerParent> containerParent;
    EXPECT_EQ(machine.As(&containerParent), E_NOINTERFACE);

    ComPtr<IvnOperation> operation = CreateOperation(store.Get(), nullptr);
    ComPtr<IUnknown> event;
    EXPECT_EQ(operation->AddMarkerEvent(Bstr(L"Marker1").Get(), Bstr(L"Marker 1").Get(), event.GetAddressOf()),
              E_UNEXPECTED)
        << "no point yet";
    ComPtr<IkelUOMFactory> units = NewUnitsFactory();
    ComPtr<IkelMeasure> measure = NewMeasure(units.Get(), 33, 0, 0.0);
    EXPECT_EQ(AddPoint(operation.Get(), measure.Get(), 1.0), VARIANT_FALSE);
    EXPECT_FALSE(CurrentValues(operation.Get())) << "a refused point has no values";
    EXPECT_EQ(Describe(operation.Get())["rejectedPoints"], 1);
}

}  // namespace

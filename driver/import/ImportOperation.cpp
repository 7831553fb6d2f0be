// The host objects the rows of a data file go into: the applied product "Unknown_Product",
// the device model of one virtual sensor machine (made once per driver object) and one
// operation "Application" per data file.
#include <windows.h>
#include <shlwapi.h>

#include "host/HostCodes.h"
#include "import/ImportSteps.h"

namespace nivra {

const std::array<DataColumnSpec, kDataColumnCount> kDataColumns = {{
    {L"Biomass_Index", L"Biomass Index", 0, 0},
    {L"N_Target", L"N Target", 36, 66},
    {L"N_Applied", L"N Applied", 36, 66},
    {L"ApplFactor", L"ApplFactor", 31, 0},
    {L"Nc", L"Nitrogen Content", 31, 0},
    {L"Rate", L"Product Rate", 36, 66},
}};

const std::array<MarkerKind, kMarkerKindCount> kMarkerKinds = {{
    {L"Marker1", L"Marker 1"},
    {L"Marker2", L"Marker 2"},
    {L"Marker3", L"Marker 3"},
    {L"Marker4", L"Marker 4"},
    {L"Calibration", L"Calibration"},
}};

namespace {

constexpr wchar_t kUnknownProduct[] = L"Unknown_Product";

ComPtr<IvnCatalog> CatalogOf(IvnDataStore* dataStore) {
    ComPtr<IvnCatalog> catalog;
    Check(dataStore->get_Catalog(catalog.GetAddressOf()), dataStore);
    Required(catalog);
    return catalog;
}

template <typename I>
Bstr KeyText(I* object) {
    Bstr key;
    Check(Required(object)->get_Key(key.Out()), object);
    return key;
}

// Looks `key` up in one of the operation's lists (machines, products, containers).
template <typename List>
ComPtr<IUnknown> FindEntry(List* list, const Bstr& key) {
    Variant index = KeyVariant(WideBstr(key.Get() ? key.Get() : L""));
    ComPtr<IUnknown> entry;
    Check(list->get_Item(*index.Get(), entry.GetAddressOf()), list);
    return entry;
}

ComPtr<IvnOperationData> DataOf(IvnOperation* operation) {
    ComPtr<IvnOperationData> data;
    Check(operation->get_Data(data.GetAddressOf()), operation);
    Required(data);
    return data;
}

ComPtr<IUnknown> CreateComponent(IvnDataStore* dataStore, IvnMachine* machine, IkelQuantity* context) {
    ComPtr<IvnComponentParent> parent = QueryOptional<IvnComponentParent>(machine);
    Variant value;
    Check(Required(context)->get_Value(value.Out()), context);
    Bstr key = WideBstr(L"VirtualComponent");
    Bstr empty2 = WideBstr(L"");
    Bstr empty3 = WideBstr(L"");
    ComPtr<IUnknown> component;
    Check(dataStore->CreateComponent(parent.Get(), key.Get(), empty2.Get(), empty3.Get(), *value.Get(), 0.0, 0.0, 0.0,
                                     0.0, 2, 1, component.GetAddressOf()),
          dataStore);
    Required(component);
    return component;
}

ComPtr<IvnContainer> CreateContainer(IvnDataStore* dataStore, IvnMachine* machine, IkelUOMFactory* factory) {
    ComPtr<IvnContainerParent> parent = QueryOptional<IvnContainerParent>(machine);
    Bstr key = WideBstr(L"VirtualContainer");
    Bstr name = WideBstr(L"VirtualContainer");
    Bstr empty = WideBstr(L"");
    ComPtr<IkelMeasure> capacity = NewMeasure(factory, 0, 0, 0.0);
    ComPtr<IvnContainer> container;
    Check(dataStore->CreateContainer(parent.Get(), key.Get(), name.Get(), empty.Get(), capacity.Get(),
                                     container.GetAddressOf()),
          dataStore);
    Required(container);
    return container;
}

ComPtr<IvnDataColumn> CreateDataColumn(IvnDataStore* dataStore, IUnknown* component, IkelUOMFactory* factory,
                                       const DataColumnSpec& spec) {
    ComPtr<IUnknown> unit;
    Check(factory->CreateUnit(spec.unitCode, spec.perCode, unit.GetAddressOf()), factory);
    Required(unit);
    Bstr key = WideBstr(spec.key);
    Bstr name = WideBstr(spec.name);
    Bstr empty = WideBstr(L"");
    Bstr caption = WideBstr(spec.name);
    ComPtr<IvnDataColumn> column;
    Check(dataStore->CreateDataColumn(component, key.Get(), name.Get(), empty.Get(), caption.Get(), unit.Get(), 0, -1,
                                      0, 0, column.GetAddressOf()),
          dataStore);
    Required(column);
    return column;
}

void SetTimeSettings(IvnOperationData* data) {
    ComPtr<IvnExtent> extent;
    Check(data->get_Extent(extent.GetAddressOf()), data);
    Check(Required(extent)->Slot12(0), extent.Get());
    extent.Reset();
    Check(data->get_Extent(extent.GetAddressOf()), data);
    Check(Required(extent)->put_TimeZoneHours(StandardZoneOffsetHours()), extent.Get());
}

void AddFieldProperty(IvnOperationData* data, IvnField* field) {
    ComPtr<IvnProperties> properties;
    Check(data->get_Properties(properties.GetAddressOf()), data);
    Required(properties);
    Bstr key = WideBstr(L"Field");
    Bstr caption = WideBstr(L"Field");
    Bstr value = KeyText(field);
    ComPtr<IvnProperty> added;
    Check(properties->Add(key.Get(), caption.Get(), value.Get(), added.GetAddressOf()), properties.Get());
}

void DeclareMarkerKinds(IvnOperation* operation) {
    for (const MarkerKind& kind : kMarkerKinds) {
        Bstr key = WideBstr(kind.key);
        Bstr name = WideBstr(kind.name);
        ComPtr<IUnknown> declared;
        Check(operation->DeclareMarker(key.Get(), name.Get(), declared.GetAddressOf()), operation);
    }
}

void AttachMachine(IvnOperation* operation, IvnOperationData* data, IvnMachine* machine) {
    Bstr key = KeyText(machine);
    ComPtr<IvnOperationMachines> machines;
    Check(data->get_Machines(machines.GetAddressOf()), data);
    if (!machines || FindEntry(machines.Get(), key)) return;
    Bstr empty = WideBstr(L"");
    ComPtr<IUnknown> entry;
    Check(operation->AddMachine(machine, 0, empty.Get(), -1, entry.GetAddressOf()), operation);
}

// The product entry made for the operation; empty when the product was already attached or
// the operation has no product list.
ComPtr<IUnknown> AttachProduct(IvnOperation* operation, IvnOperationData* data, IvnProduct* product) {
    Bstr key = KeyText(product);
    ComPtr<IvnOperationProducts> products;
    Check(data->get_Products(products.GetAddressOf()), data);
    ComPtr<IUnknown> entry;
    if (!products || FindEntry(products.Get(), key)) return entry;
    Check(operation->AddProduct(product, entry.GetAddressOf()), operation);
    return entry;
}

void AttachContainer(IvnOperation* operation, IvnOperationData* data, IvnContainer* container, IUnknown* productEntry) {
    Bstr key = KeyText(container);
    ComPtr<IvnOperationContainers> containers;
    Check(data->get_Containers(containers.GetAddressOf()), data);
    if (!containers || FindEntry(containers.Get(), key)) return;
    // The load names its container by the answer of a second lookup, which is empty here.
    ComPtr<IUnknown> lookedUp = FindEntry(containers.Get(), key);
    ComPtr<IUnknown> entry;
    Check(operation->AddContainer(productEntry, lookedUp.Get(), 1.0, entry.GetAddressOf()), operation);
    ComPtr<IvnOperationLoad> load = QueryOptional<IvnOperationLoad>(entry.Get());
}

std::string ApplicationNameOf(const std::string& sourcePath) {
    std::string name = PathFindFileNameA(sourcePath.c_str());
    const std::size_t dot = name.rfind('.');
    if (dot != std::string::npos) name.erase(dot);
    return name;
}

}  // namespace

ComPtr<IkelMeasure> NewMeasure(IkelUOMFactory* factory, LONG code, LONG perCode, double value) {
    ComPtr<IkelMeasure> measure;
    Check(factory->CreateMeasure(code, perCode, value, measure.GetAddressOf()), factory);
    Required(measure);
    return measure;
}

double StandardZoneOffsetHours() {
    TIME_ZONE_INFORMATION zone;
    if (GetTimeZoneInformation(&zone) == TIME_ZONE_ID_INVALID) return 0.0;
    // The bias is minutes west of UTC.
    return -static_cast<double>(zone.Bias + zone.StandardBias) / 60.0;
}

void EnsureUnknownProduct(ImportState& state, IkelUOMFactory* factory) {
    IvnDataStore* dataStore = Required(state.dataStore.Get());
    ComPtr<IvnCatalog> catalog = CatalogOf(dataStore);
    ComPtr<IvnProductList> products;
    Check(catalog->get_ProductList(products.GetAddressOf()), catalog.Get());
    if (!products) return;  // the product of an earlier file stays
    Variant key = KeyVariant(WideBstr(kUnknownProduct));
    Check(products->get_Item(*key.Get(), state.unknownProduct.ReleaseAndGetAddressOf()), products.Get());
    if (state.unknownProduct) return;

    ComPtr<IkelMeasure> density = NewMeasure(factory, hostcodes::kLitre, hostcodes::kNoUnit, 0.0);
    ComPtr<IkelQuantity> quantity;
    Check(density.As(&quantity), density.Get());
    ComPtr<IkelMeasure> amount = NewMeasure(factory, 0, 0, 0.0);
    Bstr key1 = WideBstr(kUnknownProduct);
    Bstr key2 = WideBstr(kUnknownProduct);
    Bstr key3 = WideBstr(kUnknownProduct);
    Check(dataStore->CreateProduct(key1.Get(), key2.Get(), key3.Get(), quantity.Get(), 0, 0, amount.Get(),
                                   state.unknownProduct.ReleaseAndGetAddressOf()),
          dataStore);
}

DeviceModel CreateDeviceModel(IvnDataStore* dataStore, const UnitsEngine& units) {
    Required(dataStore);
    IkelUOMFactory* factory = Required(units.factory);
    DeviceModel model;
    Bstr key = WideBstr(L"VirtualMachine");
    Bstr name = WideBstr(L"Sensor Machine");
    Bstr empty = WideBstr(L"");
    Check(dataStore->CreateMachine(key.Get(), name.Get(), empty.Get(), 0, model.machine.GetAddressOf()), dataStore);
    IvnMachine* machine = Required(model.machine);
    model.component = CreateComponent(dataStore, machine, units.context);
    model.container = CreateContainer(dataStore, machine, factory);
    for (std::size_t i = 0; i < kDataColumnCount; ++i)
        model.columns[i] = CreateDataColumn(dataStore, model.component.Get(), factory, kDataColumns[i]);
    return model;
}

void PrepareOperation(ImportState& state, const UnitsEngine& units) {
    state.applicationName = ApplicationNameOf(state.sourcePath);
    EnsureUnknownProduct(state, Required(units.factory));
    EnsureField(state);
    IvnDataStore* dataStore = Required(state.dataStore.Get());
    // The model is kept only once it is whole, so a failed attempt is made again next time.
    if (!state.model.Exists()) state.model = CreateDeviceModel(dataStore, units);
    Check(dataStore->Slot20(1), dataStore);

    Bstr name = AnsiBstr(state.applicationName);
    Bstr kind = WideBstr(L"Application");
    Check(dataStore->CreateOperation(name.Get(), 1, state.field.Get(), kind.Get(),
                                     state.operation.ReleaseAndGetAddressOf()),
          dataStore);
    IvnOperation* operation = Required(state.operation);
    ComPtr<IvnOperationData> data = DataOf(operation);
    SetTimeSettings(data.Get());
    AddFieldProperty(data.Get(), state.field.Get());
    Check(data->put_Name(name.Get()), data.Get());
    DeclareMarkerKinds(operation);
    AttachMachine(operation, data.Get(), state.model.machine.Get());
    ComPtr<IUnknown> productEntry = AttachProduct(operation, data.Get(), state.unknownProduct.Get());
    AttachContainer(operation, data.Get(), state.model.container.Get(), productEntry.Get());
}

}  // namespace nivra

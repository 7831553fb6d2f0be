#include "vnDataStore.h"

#include "kelUnit.h"

namespace refhost {
namespace {

Json ValueOf(const VARIANT& value) {
    switch (value.vt) {
    case VT_EMPTY: return Json();
    case VT_BSTR: return Utf8(TextOf(value.bstrVal));
    case VT_R8: return value.dblVal;
    case VT_I4: return value.lVal;
    default: return Json{{"vt", value.vt}};
    }
}

}  // namespace

HRESULT STDMETHODCALLTYPE CvnDataStore::get_Session(IvnHostSession** session) {
    HOST_CALL(IvnImportTarget, get_Session);
    return GiveOut(session_, session);
}

HRESULT STDMETHODCALLTYPE CvnDataStore::get_Catalog(IvnCatalog** catalog) {
    HOST_CALL(IvnDataStore, get_Catalog);
    return GiveOut(catalog_, catalog);
}

HRESULT STDMETHODCALLTYPE CvnDataStore::CreateProduct(BSTR key, BSTR name, BSTR text3, IkelQuantity* quantity,
                                                      LONG arg5, LONG arg6, IkelMeasure* measure,
                                                      IvnProduct** product) {
    HOST_CALL(IvnDataStore, CreateProduct);
    if (!product) return E_POINTER;
    Json details{{"name", Utf8(TextOf(name))},
                 {"text3", Utf8(TextOf(text3))},
                 {"quantity", DescribeOf(quantity)},
                 {"arg5", arg5},
                 {"arg6", arg6},
                 {"measure", DescribeOf(measure)}};
    ComPtr<CvnProduct> made = CvnProduct::Make(TextOf(key), std::move(details));
    catalog_->Products().Add(made);
    *product = made.Detach();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CvnDataStore::CreateField(BSTR key, BSTR name, LONG kind, BSTR parentKey, BSTR text5,
                                                    IvnField** field) {
    HOST_CALL(IvnDataStore, CreateField);
    if (!field) return E_POINTER;
    ComPtr<CvnField> parent = SysStringLen(parentKey) > 0 ? catalog_->Fields().Find(TextOf(parentKey)) : nullptr;
    ComPtr<CvnField> made = CvnField::MakeNew(TextOf(key), TextOf(name), kind, parent);
    made->SetCreationTexts(TextOf(parentKey), TextOf(text5));
    catalog_->Fields().Add(made);
    *field = static_cast<IvnField*>(static_cast<IvnCropZone*>(made.Detach()));
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CvnDataStore::CreateMachine(BSTR key, BSTR name, BSTR text3, LONG arg4,
                                                      IvnMachine** machine) {
    HOST_CALL(IvnDataStore, CreateMachine);
    if (!machine) return E_POINTER;
    Json details{{"name", Utf8(TextOf(name))}, {"text3", Utf8(TextOf(text3))}, {"arg4", arg4}};
    machines_.push_back(CvnMachine::Make(TextOf(key), std::move(details), machinesAreParents_));
    return GiveOut(machines_.back(), machine);
}

HRESULT STDMETHODCALLTYPE CvnDataStore::CreateComponent(IvnComponentParent* parent, BSTR key, BSTR text2, BSTR text3,
                                                        VARIANT value, double d1, double d2, double d3, double d4,
                                                        LONG arg9, LONG arg10, IUnknown** component) {
    HOST_CALL(IvnDataStore, CreateComponent);
    if (!component) return E_POINTER;
    Json details{{"key", Utf8(TextOf(key))}, {"text2", Utf8(TextOf(text2))},  {"text3", Utf8(TextOf(text3))},
                 {"value", ValueOf(value)},  {"doubles", {d1, d2, d3, d4}},   {"arg9", arg9},
                 {"arg10", arg10},           {"hasParent", parent != nullptr}};
    ComPtr<CvnComponent> made = CvnComponent::Make(std::move(details));
    if (CvnMachine* machine = Own<CvnMachine>(parent)) machine->AddComponent(made);
    else looseComponents_.push_back(made);
    return GiveOutUnknown(made, component);
}

HRESULT STDMETHODCALLTYPE CvnDataStore::CreateContainer(IvnContainerParent* parent, BSTR key, BSTR name, BSTR text3,
                                                        IkelMeasure* measure, IvnContainer** container) {
    HOST_CALL(IvnDataStore, CreateContainer);
    if (!container) return E_POINTER;
    Json details{{"name", Utf8(TextOf(name))},
                 {"text3", Utf8(TextOf(text3))},
                 {"measure", DescribeOf(measure)},
                 {"hasParent", parent != nullptr}};
    ComPtr<CvnContainer> made = CvnContainer::Make(TextOf(key), std::move(details));
    if (CvnMachine* machine = Own<CvnMachine>(parent)) machine->AddContainer(made);
    else looseContainers_.push_back(made);
    return GiveOut(made, container);
}

HRESULT STDMETHODCALLTYPE CvnDataStore::CreateDataColumn(IUnknown* component, BSTR key, BSTR name, BSTR text3,
                                                         BSTR text4, IUnknown* unit, LONG arg6, LONG arg7, LONG arg8,
                                                         LONG arg9, IvnDataColumn** column) {
    HOST_CALL(IvnDataStore, CreateDataColumn);
    if (!column) return E_POINTER;
    CkelUnit* ownUnit = Own<CkelUnit>(unit);
    Json details{{"name", Utf8(TextOf(name))},
                 {"text3", Utf8(TextOf(text3))},
                 {"text4", Utf8(TextOf(text4))},
                 {"hasUnit", ownUnit != nullptr},
                 {"args", {arg6, arg7, arg8, arg9}}};
    ComPtr<CvnDataColumn> made =
        CvnDataColumn::Make(TextOf(key), ownUnit ? ownUnit->Value() : Unit{}, std::move(details));
    if (CvnComponent* owner = Own<CvnComponent>(component)) owner->AddColumn(made);
    else looseColumns_.push_back(made);
    return GiveOut(made, column);
}

HRESULT STDMETHODCALLTYPE CvnDataStore::Slot20(LONG value) {
    HOST_CALL(IvnDataStore, Slot20);
    slot20_.push_back(value);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CvnDataStore::CreateOperation(BSTR name, LONG arg2, IvnField* field, BSTR kind,
                                                        IvnOperation** operation) {
    HOST_CALL(IvnDataStore, CreateOperation);
    if (!operation) return E_POINTER;
    Json created{{"arg2", arg2}, {"kind", Utf8(TextOf(kind))}};
    ComPtr<CvnOperation> made =
        CvnOperation::Make(TextOf(name), ComPtr<IvnField>(field), std::move(created), acceptPoints_);
    made->Preset(operationPresets_);
    catalog_->Operations().AddUnkeyed(made);
    return GiveOut(made, operation);
}

void CvnDataStore::Describe(Json& out) {
    out = Json::object();
    catalog_->Describe(out["catalog"]);
    session_->Describe(out["session"]);
    out["machines"] = Json::array();
    for (const auto& machine : machines_)
        out["machines"].push_back(DescribeOf(static_cast<IvnMachine*>(machine.Get())));
    out["looseComponents"] = looseComponents_.size();
    out["looseContainers"] = looseContainers_.size();
    out["looseColumns"] = looseColumns_.size();
    out["slot20"] = slot20_;
}

HRESULT CvnDataStore::Configure(const Json& settings) {
    acceptPoints_ = settings.value("acceptPoints", acceptPoints_);
    machinesAreParents_ = settings.value("machinesAreParents", machinesAreParents_);
    if (settings.contains("operationPresets")) operationPresets_ = settings.at("operationPresets");
    if (settings.contains("catalog")) return catalog_->Configure(settings.at("catalog"));
    return S_OK;
}

}  // namespace refhost

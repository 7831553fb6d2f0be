#include "vnCatalog.h"

#include <algorithm>

namespace refhost {

CvnCatalog::CvnCatalog()
    : fields_(CvnFields::Make()), products_(CvnProductList::Make()), operations_(CvnOperationDataList::Make()) {}

bool CvnCatalog::IsNull(const char* list) const {
    return std::find(nullLists_.begin(), nullLists_.end(), Json(list)) != nullLists_.end();
}

HRESULT STDMETHODCALLTYPE CvnCatalog::get_OperationDataList(IvnOperationDataList** list) {
    HOST_CALL(IvnCatalog, get_OperationDataList);
    return GiveOut(IsNull("operations") ? nullptr : operations_, list);
}

HRESULT STDMETHODCALLTYPE CvnCatalog::get_ProductList(IvnProductList** list) {
    HOST_CALL(IvnCatalog, get_ProductList);
    return GiveOut(IsNull("products") ? nullptr : products_, list);
}

HRESULT STDMETHODCALLTYPE CvnCatalog::get_Fields(IvnFields** fields) {
    HOST_CALL(IvnCatalog, get_Fields);
    return GiveOut(IsNull("fields") ? nullptr : fields_, fields);
}

HRESULT STDMETHODCALLTYPE CvnCatalog::get_CropList(IvnCropList** list) {
    HOST_CALL(IvnCatalog, get_CropList);
    if (!list) return E_POINTER;
    *list = nullptr;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CvnCatalog::get_PrescriptionList(IvnPrescriptionList** list) {
    HOST_CALL(IvnCatalog, get_PrescriptionList);
    if (!list) return E_POINTER;
    *list = nullptr;
    return S_OK;
}

void CvnCatalog::Describe(Json& out) {
    out = Json::object();
    fields_->Describe(out["fields"]);
    products_->Describe(out["products"]);
    operations_->Describe(out["operations"]);
}

void CvnCatalog::AddFields(const Json& fields) {
    for (const Json& f : fields) {
        std::wstring key = FromUtf8(f.at("key").get<std::string>());
        std::wstring name = FromUtf8(f.value("name", f.at("key").get<std::string>()));
        ComPtr<CvnField> parent = f.contains("parent") ? fields_->Find(FromUtf8(f.at("parent").get<std::string>())) : nullptr;
        ComPtr<CvnField> node = CvnField::Make(key, name, f.value("kind", 0x40L), parent);
        node->Configure(f);
        fields_->Add(node);
    }
}

HRESULT CvnCatalog::Configure(const Json& settings) {
    if (settings.contains("null")) nullLists_ = settings.at("null");
    if (settings.contains("fields")) AddFields(settings.at("fields"));
    if (settings.contains("products"))
        for (const Json& p : settings.at("products"))
            products_->Add(CvnProduct::Make(FromUtf8(p.at("key").get<std::string>()), Json{{"preset", true}}));
    return S_OK;
}

}  // namespace refhost

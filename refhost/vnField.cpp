#include "vnField.h"

namespace refhost {

CvnField::CvnField(std::wstring key, std::wstring name, LONG kind, ComPtr<CvnField> parent, ComPtr<CkelMeasure> area)
    : key_(std::move(key)), name_(std::move(name)), kind_(kind), parent_(std::move(parent)), area_(std::move(area)) {}

ComPtr<CvnField> CvnField::MakeNew(std::wstring key, std::wstring name, LONG kind, ComPtr<CvnField> parent) {
    return Make(std::move(key), std::move(name), kind, std::move(parent), CkelMeasure::Make(Unit{}, 0.0));
}

void CvnField::SetCreationTexts(std::wstring parentKey, std::wstring text5) {
    created_ = Json{{"parentKey", Utf8(parentKey)}, {"text5", Utf8(text5)}};
}

HRESULT STDMETHODCALLTYPE CvnField::get_Key(BSTR* key) {
    HOST_CALL(IvnField, get_Key);
    return CopyOut(key_, key);
}

HRESULT STDMETHODCALLTYPE CvnField::get_Name(BSTR* name) {
    HOST_CALL(IvnField, get_Name);
    if (name && nullName_) {
        *name = nullptr;
        return S_OK;
    }
    return CopyOut(name_, name);
}

HRESULT STDMETHODCALLTYPE CvnField::get_Kind(LONG* kind) {
    HOST_CALL(IvnField, get_Kind);
    if (!kind) return E_POINTER;
    *kind = kind_;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CvnField::get_Parent(IvnField** parent) {
    HOST_CALL(IvnField, get_Parent);
    return GiveOut(parent_, parent);
}

HRESULT STDMETHODCALLTYPE CvnField::get_Area(IkelMeasure** area) {
    HOST_CALL(IvnField, get_Area);
    return GiveOut(area_, area);
}

HRESULT STDMETHODCALLTYPE CvnField::get_CropKey(BSTR* key) {
    HOST_CALL(IvnCropZone, get_CropKey);
    return CopyOut(cropKey_, key);
}

void* CvnField::QueryExtra(REFIID riid) {
    if (riid == __uuidof(IvnField)) return static_cast<IvnField*>(static_cast<IvnCropZone*>(this));
    return nullptr;
}

void CvnField::Describe(Json& out) {
    out = Json{{"key", Utf8(key_)}, {"name", Utf8(name_)}, {"kind", kind_}};
    out["parent"] = parent_ ? Json(Utf8(parent_->Key())) : Json();
    out["area"] = area_ ? DescribeOf(static_cast<IkelMeasure*>(area_.Get())) : Json();
    if (kind_ == hostcodes::kCropZoneNode) out["cropKey"] = Utf8(cropKey_);
    if (nullName_) out["nullName"] = true;
    if (!created_.empty()) out["created"] = created_;
}

HRESULT CvnField::Configure(const Json& settings) {
    if (settings.contains("area")) {
        const Json& area = settings.at("area");
        area_ = area.is_null() ? nullptr
                               : CkelMeasure::Make(Unit{area.value("code", 0L), area.value("perCode", 0L)},
                                                   area.value("value", 0.0));
    }
    if (settings.contains("cropKey")) cropKey_ = FromUtf8(settings.at("cropKey").get<std::string>());
    if (settings.contains("name")) name_ = FromUtf8(settings.at("name").get<std::string>());
    nullName_ = settings.value("nullName", nullName_);
    return S_OK;
}

}  // namespace refhost

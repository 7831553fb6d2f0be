#include "vnProperties.h"

namespace refhost {

HRESULT STDMETHODCALLTYPE CvnProperties::get_Item(VARIANT keyOrIndex, IvnProperty** property) {
    HOST_CALL(IvnProperties, get_Item);
    if (!property) return E_POINTER;
    *property = nullptr;
    Key key;
    HRESULT hr = ReadKey(keyOrIndex, key);
    if (FAILED(hr)) return hr;
    return GiveOut(Find(key), property);
}

HRESULT STDMETHODCALLTYPE CvnProperties::Add(BSTR key, BSTR caption, BSTR value, IvnProperty** property) {
    HOST_CALL(IvnProperties, Add);
    if (property) *property = nullptr;
    entries_.push_back(CvnProperty::Make(TextOf(key), TextOf(caption), TextOf(value)));
    return property ? GiveOut(entries_.back(), property) : S_OK;
}

ComPtr<CvnProperty> CvnProperties::Find(const Key& key) const {
    if (!key.isText) {
        if (key.index < 1 || static_cast<size_t>(key.index) > entries_.size()) return nullptr;
        return entries_[key.index - 1];
    }
    for (const auto& entry : entries_)
        if (entry->Key() == key.text) return entry;
    return nullptr;
}

void CvnProperties::Describe(Json& out) {
    out = Json::array();
    for (const auto& entry : entries_) {
        Json item;
        entry->Describe(item);
        out.push_back(std::move(item));
    }
}

}  // namespace refhost

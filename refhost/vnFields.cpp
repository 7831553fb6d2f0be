#include "vnFields.h"

namespace refhost {

HRESULT STDMETHODCALLTYPE CvnFields::get_Item(VARIANT keyOrIndex, IvnField** node) {
    HOST_CALL(IvnFields, get_Item);
    if (!node) return E_POINTER;
    *node = nullptr;
    Key key;
    HRESULT hr = ReadKey(keyOrIndex, key);
    if (FAILED(hr)) return hr;
    ComPtr<CvnField> found;
    if (key.isText) found = Find(key.text);
    else if (key.index >= 1 && static_cast<size_t>(key.index) <= nodes_.size()) found = nodes_[key.index - 1];
    if (found) {
        *node = static_cast<IvnField*>(static_cast<IvnCropZone*>(found.Get()));
        (*node)->AddRef();
    }
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CvnFields::get_Count(LONG* count) {
    HOST_CALL(IvnFields, get_Count);
    if (!count) return E_POINTER;
    *count = static_cast<LONG>(nodes_.size());
    return S_OK;
}

ComPtr<CvnField> CvnFields::Find(const std::wstring& key) const {
    for (const auto& node : nodes_)
        if (node->Key() == key) return node;
    return nullptr;
}

void CvnFields::Describe(Json& out) {
    out = Json::array();
    for (const auto& node : nodes_) {
        Json item;
        node->Describe(item);
        out.push_back(std::move(item));
    }
}

}  // namespace refhost

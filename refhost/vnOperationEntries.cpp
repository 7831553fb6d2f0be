#include "vnOperationEntries.h"

namespace refhost {

HRESULT STDMETHODCALLTYPE CvnOperationEntries::get_Item(VARIANT key, IUnknown** entry) {
    HOST_ENTER(itemCall_);
    if (!entry) return E_POINTER;
    *entry = nullptr;
    Key which;
    HRESULT hr = ReadKey(key, which);
    if (FAILED(hr)) return hr;
    for (const auto& item : entries_) {
        if (which.isText && item.first == which.text) {
            *entry = static_cast<IvnOperationLoad*>(item.second.Get());
            (*entry)->AddRef();
            break;
        }
    }
    return S_OK;
}

void CvnOperationEntries::Describe(Json& out) {
    out = Json::array();
    for (const auto& item : entries_) {
        Json described = DescribeOf(static_cast<IvnOperationLoad*>(item.second.Get()));
        described["key"] = Utf8(item.first);
        out.push_back(std::move(described));
    }
}

}  // namespace refhost

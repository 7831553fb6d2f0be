#include "vnFiles.h"

namespace refhost {

HRESULT STDMETHODCALLTYPE CvnFiles::get_Item(VARIANT index, IvnFile** file) {
    HOST_CALL(IvnFiles, get_Item);
    if (!file) return E_POINTER;
    *file = nullptr;
    Key key;
    HRESULT hr = ReadKey(index, key);
    if (FAILED(hr)) return hr;
    if (key.isText || key.index < 1 || static_cast<size_t>(key.index) > files_.size()) return S_OK;
    IUnknown* found = files_[key.index - 1].Get();
    found->AddRef();
    *file = reinterpret_cast<IvnFile*>(found);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CvnFiles::get_Count(LONG* count) {
    HOST_CALL(IvnFiles, get_Count);
    if (!count) return E_POINTER;
    *count = static_cast<LONG>(files_.size());
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CvnFiles::Add(IvnFile* file, IUnknown** added) {
    HOST_CALL(IvnFiles, Add);
    if (added) *added = nullptr;
    if (!file) return E_POINTER;
    files_.emplace_back(AsUnknown(file));
    if (added) {
        *added = AsUnknown(file);
        (*added)->AddRef();
    }
    return S_OK;
}

void CvnFiles::Describe(Json& out) { out = Json{{"count", files_.size()}}; }

}  // namespace refhost

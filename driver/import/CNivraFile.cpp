#include "import/CNivraFile.h"

#include <shlwapi.h>

#include <algorithm>
#include <vector>

#include "com/HostCall.h"
#include "com/TextSlots.h"

namespace nivra {
namespace {

std::vector<char> Writable(const std::string& text) {
    std::vector<char> buffer(text.begin(), text.end());
    buffer.push_back('\0');
    return buffer;
}

}  // namespace

std::string FolderOfPath(const std::string& path) {
    std::vector<char> copy = Writable(path);
    PathRemoveFileSpecA(copy.data());
    return copy.data();
}

std::string TitleOfPath(const std::string& path) {
    std::vector<char> copy = Writable(path);
    PathStripPathA(copy.data());
    PathRemoveExtensionA(copy.data());
    return copy.data();
}

std::string ExtensionOfPath(const std::string& path) {
    std::vector<char> copy = Writable(path);
    std::string extension = PathFindExtensionA(copy.data());
    extension.erase(std::remove(extension.begin(), extension.end(), '.'), extension.end());
    return extension;
}

// Without the host's property class the object is still made, with no property list.
CNivraFile::CNivraFile() { TryCreateByProgId<IvnProperties>(L"VANDOR.vnProperties", properties_); }

HRESULT CNivraFile::Create(CNivraFile** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    try {
        *out = new CNivraFile();
    } catch (...) {
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

void* CNivraFile::FindInterface(REFIID iid) {
    if (IsEqualIID(iid, __uuidof(INullDispatch)) || IsEqualIID(iid, IID_IDispatch))
        return static_cast<INullDispatch*>(this);
    if (IsEqualIID(iid, __uuidof(IvnFile))) return static_cast<IvnFile*>(this);
    return nullptr;
}

HRESULT CNivraFile::FullName(BSTR* name) { return ConstantTextOut(path_, name); }
HRESULT CNivraFile::Path(BSTR* path) { return ConstantTextOut(path_, path); }
namespace {

// The parts of the path are new strings: made inside the boundary, NULL when they cannot be.
template <typename Part>
HRESULT PathPartOut(const std::string& path, Part part, BSTR* out) {
    if (!out) return E_INVALIDARG;
    *out = nullptr;
    return ComBoundary([&] { return ConstantTextOut(part(path), out); });
}

}  // namespace

HRESULT CNivraFile::Folder(BSTR* folder) { return PathPartOut(path_, FolderOfPath, folder); }
HRESULT CNivraFile::Title(BSTR* title) { return PathPartOut(path_, TitleOfPath, title); }
HRESULT CNivraFile::Extension(BSTR* extension) { return PathPartOut(path_, ExtensionOfPath, extension); }
HRESULT CNivraFile::Slot8(VARIANT_BOOL* answer) { return BoolOut(VARIANT_FALSE, answer); }
HRESULT CNivraFile::Slot9(BSTR* text) { return ConstantTextOut("", text); }

// Without a property list there is nothing to hand out: the result is NULL and E_POINTER,
// the answer for a needed object that is absent.
HRESULT CNivraFile::Properties(IvnProperties** properties) {
    if (!properties) return E_POINTER;
    *properties = nullptr;
    if (!properties_) return E_POINTER;
    return properties_->QueryInterface(__uuidof(IvnProperties), reinterpret_cast<void**>(properties));
}

HRESULT CNivraFile::get_Selected(VARIANT_BOOL* selected) { return BoolOut(selected_, selected); }

HRESULT CNivraFile::put_Selected(VARIANT_BOOL selected) {
    selected_ = selected;
    return S_OK;
}

HRESULT CNivraFile::get_Slot13(VARIANT* value) {
    if (!value) return E_POINTER;
    VARIANT copy;
    VariantInit(&copy);
    HRESULT hr = VariantCopy(&copy, storedValue_.Get());
    if (FAILED(hr)) return hr;
    VariantClear(value);
    *value = copy;
    return S_OK;
}

HRESULT CNivraFile::put_Slot14(VARIANT value) {
    HRESULT hr = VariantCopy(storedValue_.Get(), &value);
    if (FAILED(hr)) {
        storedValue_.Clear();
        storedValue_.Get()->vt = VT_ERROR;
        storedValue_.Get()->scode = hr;
    }
    return hr;
}

}  // namespace nivra

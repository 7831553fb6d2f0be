// Host objects that the host hands to a driver rather than registering them: tests make
// them here, by kind, with optional settings (see each class's Configure).
#include "HostObject.h"
#include "vnCatalog.h"
#include "vnDataStore.h"
#include "vnFileList.h"
#include "vnImportTarget.h"
#include "vnProgress.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace refhost {
namespace {

template <typename T>
ComPtr<IUnknown> MakeUnknown() {
    ComPtr<T> object = T::Make();
    return ComPtr<IUnknown>(object->Identity());
}

ComPtr<IUnknown> MakeByKind(const char* kind) {
    struct {
        const char* kind;
        ComPtr<IUnknown> (*make)();
    } const kinds[] = {
        {"fileList", MakeUnknown<CvnFileList>},     {"files", MakeUnknown<CvnFiles>},
        {"progress", MakeUnknown<CvnProgress>},     {"importTarget", MakeUnknown<CvnImportTarget>},
        {"dataStore", MakeUnknown<CvnDataStore>},   {"catalog", MakeUnknown<CvnCatalog>},
        {"properties", MakeUnknown<CvnProperties>},
    };
    for (const auto& k : kinds)
        if (std::strcmp(k.kind, kind) == 0) return k.make();
    return nullptr;
}

// The message names the place in the JSON where it could tell it.
void CopyMessage(const std::string& message, char* buffer, LONG size) {
    if (!buffer || size <= 0) return;
    size_t n = std::min<size_t>(message.size(), static_cast<size_t>(size - 1));
    message.copy(buffer, n);
    buffer[n] = '\0';
}

}  // namespace
}  // namespace refhost

using namespace refhost;

// Kinds: "fileList", "files", "progress", "importTarget" (without a data store),
// "dataStore" (the usual import target), "catalog", "properties".
extern "C" HRESULT RefHostCreate(const char* kind, const char* settings, IUnknown** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!kind) return E_INVALIDARG;
    try {
        ComPtr<IUnknown> object = MakeByKind(kind);
        if (!object) return E_INVALIDARG;
        if (settings && *settings) {
            ComPtr<IRefHostObject> inspect;
            HRESULT hr = object.As(&inspect);
            if (SUCCEEDED(hr)) hr = inspect->Configure(Json::parse(settings));
            if (FAILED(hr)) return hr;
        }
        *out = object.Detach();
        return S_OK;
    } catch (const Json::exception&) {
        return E_INVALIDARG;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_UNEXPECTED;
    }
}

// A catalog as a farm plan describes it, for the publish tests and the command-line host:
// settings as CvnCatalog documents them. E_INVALIDARG for a bad plan; `error` then receives
// the reason (up to errorSize bytes, terminated).
extern "C" __declspec(dllexport) HRESULT
    RefHostCreatePublishCatalog(const char* settings, IUnknown** out, char* error, LONG errorSize) {
    if (!out) return E_POINTER;
    *out = nullptr;
    try {
        ComPtr<CvnCatalog> catalog = CvnCatalog::Make();
        if (settings && *settings) catalog->Configure(Json::parse(settings));
        *out = static_cast<IvnCatalog*>(catalog.Detach());
        return S_OK;
    } catch (const Json::exception& e) {
        CopyMessage(e.what(), error, errorSize);
        return E_INVALIDARG;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_UNEXPECTED;
    }
}

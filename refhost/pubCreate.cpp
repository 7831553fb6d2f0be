// The publishing catalog made from JSON, for the tests and the command-line host.
#include "pubCatalog.h"

#include <algorithm>
#include <new>
#include <string>

using namespace refhost;

namespace {

// The message names the place in the JSON where it could tell it.
LONG CopyMessage(const std::string& message, char* buffer, LONG size) {
    LONG needed = static_cast<LONG>(message.size() + 1);
    if (buffer && size > 0) {
        size_t n = std::min<size_t>(message.size(), static_cast<size_t>(size - 1));
        message.copy(buffer, n);
        buffer[n] = '\0';
    }
    return needed;
}

}  // namespace

// Settings as PubCatalog documents them. E_INVALIDARG for a bad plan; `error` then receives
// the reason (up to errorSize bytes, terminated).
extern "C" __declspec(dllexport) HRESULT RefHostCreatePublishCatalog(const char* settings, IUnknown** out, char* error, LONG errorSize) {
    if (!out) return E_POINTER;
    *out = nullptr;
    try {
        ComPtr<PubCatalog> catalog = PubCatalog::Make();
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

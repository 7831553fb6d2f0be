// The reference host's COM module: its class table, class objects and self-registration
// under the host's ProgIDs, as an in-process server of the apartment model.
#include "Control.h"
#include "HostObject.h"
#include "kelUOMFactory.h"
#include "vnFactory.h"
#include "vnProperties.h"
#include "vnRxSurface.h"

#include <string>

namespace refhost {
namespace {

HMODULE g_module = nullptr;
LONG g_locks = 0;  // server locks and class objects held from outside

template <typename T, typename I>
HRESULT CreateAs(REFIID riid, void** out) {
    ComPtr<I> object(T::Make());
    return object->QueryInterface(riid, out);
}

struct ClassEntry {
    CLSID clsid;
    const wchar_t* progId;
    const wchar_t* description;
    HRESULT (*create)(REFIID riid, void** out);
};

const ClassEntry kClasses[] = {
    {{0xfe5d3570, 0x8393, 0x4284, {0xb3, 0x70, 0xc5, 0x2a, 0x12, 0x99, 0x4f, 0x8b}},
     L"VANDOR.vnProperties",
     L"Reference host property list",
     CreateAs<CvnProperties, IvnProperties>},
    {{0x545277b3, 0xbd93, 0x411a, {0xb5, 0x6e, 0x92, 0x2c, 0xc3, 0x47, 0x80, 0xc1}},
     L"kelUOMEngine.kelUOMFactory",
     L"Reference host units-of-measure factory",
     CreateAs<CkelUOMFactory, IkelUOMFactory>},
    {{0xbee5c921, 0x5163, 0x4535, {0xb6, 0x6c, 0x6c, 0x2e, 0x90, 0xb4, 0xc9, 0x6f}},
     L"VANDOR.vnRxSurface",
     L"Reference host prescription surface",
     CreateAs<CvnRxSurface, IvnRxSurface>},
    {{0xf4bafd07, 0x2e80, 0x475a, {0x9a, 0x2d, 0x1d, 0x97, 0x56, 0xbb, 0x9e, 0x97}},
     L"VANDOR.vnFactory",
     L"Reference host export factory",
     CreateAs<CvnFactory, IvnFactory>},
};

const ClassEntry* FindClass(REFCLSID clsid) {
    for (const ClassEntry& entry : kClasses)
        if (entry.clsid == clsid) return &entry;
    return nullptr;
}

// One class object per request; it keeps the module locked while it lives.
class ClassFactory : public IClassFactory {
public:
    explicit ClassFactory(const ClassEntry& entry) : entry_(entry) { InterlockedIncrement(&g_locks); }
    virtual ~ClassFactory() { InterlockedDecrement(&g_locks); }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (riid != IID_IUnknown && riid != IID_IClassFactory) return E_NOINTERFACE;
        *out = static_cast<IClassFactory*>(this);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return InterlockedIncrement(&references_); }
    ULONG STDMETHODCALLTYPE Release() override {
        LONG left = InterlockedDecrement(&references_);
        if (left == 0) delete this;
        return left;
    }
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID riid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (!ClassEnabled(entry_.progId)) return CLASS_E_CLASSNOTAVAILABLE;
        HOST_CALL(IClassFactory, CreateInstance);
        if (outer) return CLASS_E_NOAGGREGATION;
        try {
            return entry_.create(riid, out);
        } catch (const std::bad_alloc&) {
            return E_OUTOFMEMORY;
        } catch (...) {
            return E_UNEXPECTED;
        }
    }
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override {
        if (lock) InterlockedIncrement(&g_locks);
        else InterlockedDecrement(&g_locks);
        return S_OK;
    }

private:
    const ClassEntry& entry_;
    LONG references_ = 0;
};

std::wstring GuidText(REFGUID guid) {
    wchar_t text[64] = {};
    StringFromGUID2(guid, text, 64);
    return text;
}

LSTATUS SetText(HKEY root, const std::wstring& key, const wchar_t* name, const std::wstring& value) {
    return RegSetKeyValueW(root, key.c_str(), name, REG_SZ, value.c_str(),
                           static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t)));
}

HRESULT RegisterClassEntry(const ClassEntry& entry, const std::wstring& modulePath) {
    std::wstring clsidKey = L"CLSID\\" + GuidText(entry.clsid);
    LSTATUS status = SetText(HKEY_CLASSES_ROOT, clsidKey, nullptr, entry.description);
    if (status == ERROR_SUCCESS)
        status = SetText(HKEY_CLASSES_ROOT, clsidKey + L"\\InprocServer32", nullptr, modulePath);
    if (status == ERROR_SUCCESS)
        status = SetText(HKEY_CLASSES_ROOT, clsidKey + L"\\InprocServer32", L"ThreadingModel", L"Apartment");
    if (status == ERROR_SUCCESS) status = SetText(HKEY_CLASSES_ROOT, clsidKey + L"\\ProgID", nullptr, entry.progId);
    if (status == ERROR_SUCCESS) status = SetText(HKEY_CLASSES_ROOT, entry.progId, nullptr, entry.description);
    if (status == ERROR_SUCCESS)
        status = SetText(HKEY_CLASSES_ROOT, std::wstring(entry.progId) + L"\\CLSID", nullptr, GuidText(entry.clsid));
    return HRESULT_FROM_WIN32(status);
}

// A key that is already gone counts as removed.
LSTATUS DeleteTree(const std::wstring& key) {
    LSTATUS status = RegDeleteTreeW(HKEY_CLASSES_ROOT, key.c_str());
    if (status == ERROR_SUCCESS) status = RegDeleteKeyW(HKEY_CLASSES_ROOT, key.c_str());
    return status == ERROR_FILE_NOT_FOUND ? ERROR_SUCCESS : status;
}

}  // namespace
}  // namespace refhost

using namespace refhost;

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        g_module = instance;
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID riid, LPVOID* out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    const ClassEntry* entry = FindClass(clsid);
    // A switched-off class is refused by its class object, not here: a refusal here sends
    // COM on to look for a local server through rpcss, which the 32-bit Wine of the tests
    // (under qemu-user) does not survive reliably while other Wine processes run.
    if (!entry) return CLASS_E_CLASSNOTAVAILABLE;
    ClassFactory* factory = new (std::nothrow) ClassFactory(*entry);
    if (!factory) return E_OUTOFMEMORY;
    factory->AddRef();
    HRESULT hr = factory->QueryInterface(riid, out);
    factory->Release();
    return hr;
}

STDAPI DllCanUnloadNow() { return (g_locks == 0 && LiveObjects() == 0) ? S_OK : S_FALSE; }

STDAPI DllRegisterServer() {
    wchar_t path[MAX_PATH];
    DWORD length = GetModuleFileNameW(g_module, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return HRESULT_FROM_WIN32(GetLastError());
    for (const ClassEntry& entry : kClasses) {
        HRESULT hr = RegisterClassEntry(entry, path);
        if (FAILED(hr)) return hr;
    }
    return S_OK;
}

STDAPI DllUnregisterServer() {
    HRESULT result = S_OK;
    for (const ClassEntry& entry : kClasses) {
        LSTATUS a = DeleteTree(L"CLSID\\" + GuidText(entry.clsid));
        LSTATUS b = DeleteTree(entry.progId);
        if (a != ERROR_SUCCESS) result = HRESULT_FROM_WIN32(a);
        if (b != ERROR_SUCCESS) result = HRESULT_FROM_WIN32(b);
    }
    return result;
}

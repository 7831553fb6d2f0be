#include "module/Module.h"

#include "com/ClassFactory.h"
#include "com/ModuleServices.h"
#include "com/NivraTeskIds.h"
#include "module/Registrar.h"
#include "module/Resources.h"

namespace nivra {
namespace {

CNivraTeskModule g_module;

std::wstring GuidText(REFGUID guid) {
    wchar_t text[40] = {};
    StringFromGUID2(guid, text, 40);
    return text;
}

// Runs registration under the system default locale, as the registry texts expect, and puts
// the caller's thread locale back afterwards.
class SystemLocaleScope {
public:
    SystemLocaleScope() : saved_(GetThreadLocale()) { SetThreadLocale(LOCALE_SYSTEM_DEFAULT); }
    ~SystemLocaleScope() { SetThreadLocale(saved_); }
    SystemLocaleScope(const SystemLocaleScope&) = delete;
    SystemLocaleScope& operator=(const SystemLocaleScope&) = delete;

private:
    LCID saved_;
};

using Microsoft::WRL::ComPtr;

HRESULT LoadModuleTypeLib(const std::wstring& path, ComPtr<ITypeLib>& library) {
    return LoadTypeLibEx(path.c_str(), REGKIND_NONE, library.ReleaseAndGetAddressOf());
}

HRESULT RegisterModuleTypeLib(const std::wstring& path) {
    ComPtr<ITypeLib> library;
    HRESULT hr = LoadModuleTypeLib(path, library);
    if (FAILED(hr)) return hr;
    return RegisterTypeLib(library.Get(), const_cast<OLECHAR*>(path.c_str()), nullptr);
}

// The library is unregistered under the system kind it was built for (win32 or win64).
HRESULT UnregisterModuleTypeLib(const std::wstring& path) {
    ComPtr<ITypeLib> library;
    HRESULT hr = LoadModuleTypeLib(path, library);
    if (FAILED(hr)) return hr;
    TLIBATTR* attributes = nullptr;
    hr = library->GetLibAttr(&attributes);
    if (FAILED(hr)) return hr;
    hr = UnRegisterTypeLib(attributes->guid, attributes->wMajorVerNum, attributes->wMinorVerNum, attributes->lcid,
                           attributes->syskind);
    library->ReleaseTLibAttr(attributes);
    return hr;
}

}  // namespace

class CNivraTeskModule::CriticalSectionLock {
public:
    explicit CriticalSectionLock(CRITICAL_SECTION& section) : section_(section) { EnterCriticalSection(&section_); }
    ~CriticalSectionLock() { LeaveCriticalSection(&section_); }
    CriticalSectionLock(const CriticalSectionLock&) = delete;
    CriticalSectionLock& operator=(const CriticalSectionLock&) = delete;

private:
    CRITICAL_SECTION& section_;
};

CNivraTeskModule& Module() { return g_module; }

void LockModule() { g_module.Lock(); }
void UnlockModule() { g_module.Unlock(); }
HINSTANCE ModuleInstance() { return g_module.Instance(); }
HRESULT ModulePath(std::wstring& path) { return g_module.ModulePath(path); }
HRESULT RegisteredTypeInfo(REFGUID guid, ITypeInfo** out) { return g_module.RegisteredTypeInfo(guid, out); }
HRESULT ModuleTypeInfo(REFGUID guid, ITypeInfo** out) { return g_module.ModuleTypeInfo(guid, out); }

CNivraTeskModule::CNivraTeskModule() { initFailed_ = !InitializeCriticalSectionAndSpinCount(&section_, 0); }

CNivraTeskModule::~CNivraTeskModule() {
    if (!initFailed_) DeleteCriticalSection(&section_);
}

HINSTANCE CNivraTeskModule::Instance() const {
    if (instance_) return instance_;
    // Linked into a test program rather than loaded as the DLL: the module holding this code.
    HMODULE self = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&g_module), &self);
    return self;
}

HRESULT CNivraTeskModule::ModulePath(std::wstring& path) const {
    wchar_t buffer[MAX_PATH];
    DWORD length = GetModuleFileNameW(Instance(), buffer, MAX_PATH);
    if (length == 0) {
        HRESULT hr = HRESULT_FROM_WIN32(GetLastError());
        return FAILED(hr) ? hr : E_FAIL;
    }
    if (length >= MAX_PATH) return HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER);
    path.assign(buffer, length);
    return S_OK;
}

HRESULT CNivraTeskModule::GetClassObject(REFCLSID clsid, REFIID iid, void** out) {
    if (initFailed_) return E_UNEXPECTED;
    if (!out) return E_POINTER;
    *out = nullptr;
    ClassEntry* entry = nullptr;
    ClassEntry* table = ClassTable();
    for (size_t i = 0; i < kClassCount && !entry; ++i)
        if (table[i].createInstance && IsEqualCLSID(*table[i].clsid, clsid)) entry = &table[i];
    if (!entry) return CLASS_E_CLASSNOTAVAILABLE;
    if (!entry->classObject) {
        CriticalSectionLock lock(section_);
        if (!entry->classObject) {
            entry->classObject = new (std::nothrow) CClassFactory(entry->createInstance);
            if (!entry->classObject) return E_OUTOFMEMORY;
        }
    }
    HRESULT hr = entry->classObject->QueryInterface(iid, out);
    if (FAILED(hr)) return hr;
    return *out ? S_OK : CLASS_E_CLASSNOTAVAILABLE;
}

HRESULT CNivraTeskModule::ApplyScript(UINT resourceId, bool registering, const ClassEntry* entry,
                                      rgs::RegistryTarget& registry) {
    std::wstring path;
    HRESULT hr = ModulePath(path);
    if (FAILED(hr)) return hr;
    const std::wstring appId = GuidText(LIBID_NivraTesk);
    rgs::Replacements replacements = {{L"APPID", appId}, {L"Module", path}, {L"Module_Raw", path}};
    if (entry) {
        replacements.insert(replacements.end(), {{L"MODULEGUID", appId},
                                                 {L"MODULETYPE", L"InprocServer32"},
                                                 {L"FriendlyName", entry->friendlyName},
                                                 {L"CLSID", GuidText(*entry->clsid)},
                                                 {L"PROGID", entry->versionedProgId},
                                                 {L"VIPROGID", entry->progId},
                                                 {L"THREADINGMODEL", entry->threadingModel}});
    }
    return ApplyRegistryResource(Instance(), resourceId, registering ? rgs::Mode::Register : rgs::Mode::Unregister,
                                 replacements, registry);
}

// Classes made only inside the DLL have no registration texts and write nothing.
HRESULT CNivraTeskModule::RegisterClasses(bool registering, rgs::RegistryTarget& registry) {
    ClassEntry* table = ClassTable();
    for (size_t i = 0; i < kClassCount; ++i) {
        if (!table[i].progId) continue;
        HRESULT hr = ApplyScript(IDR_CLASS_SCRIPT, registering, &table[i], registry);
        if (FAILED(hr)) return hr;
    }
    return S_OK;
}

// All or nothing: the scripts' changes are journaled and undone when anything after them fails,
// the type library's registration included (it comes last, as nothing undoes it), and when an
// exception leaves on the way out.
HRESULT CNivraTeskModule::RegisterServer() {
    SystemLocaleScope locale;
    std::wstring path;
    HRESULT hr = ModulePath(path);
    if (FAILED(hr)) return hr;
    JournaledRegistry registry;
    hr = ApplyScript(IDR_MODULE_SCRIPT, true, nullptr, registry);
    if (SUCCEEDED(hr)) hr = RegisterClasses(true, registry);
    if (SUCCEEDED(hr)) hr = RegisterModuleTypeLib(path);
    if (SUCCEEDED(hr)) registry.Keep();
    return hr;
}

HRESULT CNivraTeskModule::UnregisterServer() {
    SystemLocaleScope locale;
    std::wstring path;
    HRESULT hr = ModulePath(path);
    if (FAILED(hr)) return hr;
    JournaledRegistry registry;
    hr = RegisterClasses(false, registry);
    if (SUCCEEDED(hr)) hr = ApplyScript(IDR_MODULE_SCRIPT, false, nullptr, registry);
    if (SUCCEEDED(hr)) hr = UnregisterModuleTypeLib(path);
    if (SUCCEEDED(hr)) registry.Keep();
    return hr;
}

template <typename Load>
HRESULT CNivraTeskModule::CachedTypeInfo(ComPtr<ITypeLib>& library, Load load, REFGUID guid, ITypeInfo** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!library) {
        CriticalSectionLock lock(section_);
        if (!library) {
            ComPtr<ITypeLib> loaded;
            HRESULT hr = load(loaded);
            if (FAILED(hr)) return hr;
            library = loaded;
        }
    }
    return library->GetTypeInfoOfGuid(guid, out);
}

HRESULT CNivraTeskModule::RegisteredTypeInfo(REFGUID guid, ITypeInfo** out) {
    return CachedTypeInfo(
        registeredLibrary_,
        [](ComPtr<ITypeLib>& loaded) {
            return LoadRegTypeLib(LIBID_NivraTesk, kTypeLibMajor, kTypeLibMinor, LOCALE_NEUTRAL, loaded.GetAddressOf());
        },
        guid, out);
}

// The path is read into a fixed buffer, so that loading allocates nothing of the driver's.
HRESULT CNivraTeskModule::ModuleTypeInfo(REFGUID guid, ITypeInfo** out) {
    return CachedTypeInfo(
        moduleLibrary_,
        [this](ComPtr<ITypeLib>& loaded) {
            wchar_t path[MAX_PATH];
            const DWORD length = GetModuleFileNameW(Instance(), path, MAX_PATH);
            if (length == 0 || length >= MAX_PATH) return E_FAIL;
            return LoadTypeLibEx(path, REGKIND_NONE, loaded.GetAddressOf());
        },
        guid, out);
}

void CNivraTeskModule::ReleaseCaches() {
    ClassEntry* table = ClassTable();
    for (size_t i = 0; i < kClassCount; ++i) {
        if (table[i].classObject) {
            table[i].classObject->Release();
            table[i].classObject = nullptr;
        }
    }
    registeredLibrary_.Reset();
    moduleLibrary_.Reset();
}

}  // namespace nivra

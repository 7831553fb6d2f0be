// CNivraTeskModule: the DLL's single module object. It keeps the lock count that decides
// whether the DLL may be unloaded, the class table with its cached class objects, and the
// type information read once from the registered type library.
#pragma once
#include <windows.h>
#include <ole2.h>
#include <oaidl.h>
#include <ocidl.h>

#include <cstddef>
#include <string>

#include "module/RegistryScript.h"

namespace nivra {

struct ClassEntry {
    const CLSID* clsid;
    // Creatable classes only: the instance creator the class object calls; null otherwise.
    HRESULT (*createInstance)(IUnknown* outer, REFIID iid, void** out);
    // Registration texts of a creatable class; null for the classes made only inside the DLL.
    const wchar_t* versionedProgId;
    const wchar_t* progId;
    const wchar_t* friendlyName;
    const wchar_t* threadingModel;
    IClassFactory* classObject;  // cached on first request; the table holds one reference
};

// The five classes of the DLL, in their fixed order (defined in ClassTable.cpp).
ClassEntry* ClassTable();
inline constexpr size_t kClassCount = 5;

class CNivraTeskModule {
public:
    CNivraTeskModule();
    ~CNivraTeskModule();
    CNivraTeskModule(const CNivraTeskModule&) = delete;
    CNivraTeskModule& operator=(const CNivraTeskModule&) = delete;

    void SetInstance(HINSTANCE instance) { instance_ = instance; }
    HINSTANCE Instance() const;
    bool InitFailed() const { return initFailed_; }

    LONG Lock() { return InterlockedIncrement(&lockCount_); }
    LONG Unlock() { return InterlockedDecrement(&lockCount_); }
    LONG LockCount() const { return lockCount_; }

    HRESULT GetClassObject(REFCLSID clsid, REFIID iid, void** out);
    HRESULT RegisterServer();
    HRESULT UnregisterServer();

    // Type information of `guid` from the type library registered under the DLL's library id,
    // looked up on first use and kept until unload. Returns a new reference.
    HRESULT RegisteredTypeInfo(REFGUID guid, ITypeInfo** out);

    // The DLL's full path (260-character buffer). ERROR_INSUFFICIENT_BUFFER as an HRESULT
    // when the path fills the buffer.
    HRESULT ModulePath(std::wstring& path) const;

    // Gives back what the module caches: class objects and type information.
    void ReleaseCaches();

private:
    class CriticalSectionLock;

    HRESULT RegisterClasses(bool registering, rgs::RegistryTarget& registry);
    HRESULT ApplyScript(UINT resourceId, bool registering, const ClassEntry* entry, rgs::RegistryTarget& registry);

    volatile LONG lockCount_ = 0;
    HINSTANCE instance_ = nullptr;
    bool initFailed_ = false;
    CRITICAL_SECTION section_;
    ITypeLib* registeredLibrary_ = nullptr;
};

CNivraTeskModule& Module();

}  // namespace nivra

#include "com/ClassFactory.h"

#include "com/ModuleServices.h"

namespace nivra {

HRESULT CClassFactory::QueryInterface(REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IClassFactory)) return E_NOINTERFACE;
    *out = static_cast<IClassFactory*>(this);
    AddRef();
    return S_OK;
}

ULONG CClassFactory::AddRef() {
    LONG count = InterlockedIncrement(&count_);
    if (count == 2) LockModule();
    return static_cast<ULONG>(count);
}

ULONG CClassFactory::Release() {
    LONG count = InterlockedDecrement(&count_);
    if (count == 1) UnlockModule();
    if (count == 0) delete this;
    return static_cast<ULONG>(count);
}

HRESULT CClassFactory::CreateInstance(IUnknown* outer, REFIID iid, void** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (outer && !IsEqualIID(iid, IID_IUnknown)) return CLASS_E_NOAGGREGATION;
    return creator_(outer, iid, out);
}

HRESULT CClassFactory::LockServer(BOOL lock) {
    if (lock) LockModule();
    else UnlockModule();
    return S_OK;
}

}  // namespace nivra

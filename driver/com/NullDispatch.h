// INullDispatch: the IDispatch of the description items, the file objects and the driver.
// It describes itself from the DLL's own type library and exposes no member.
// IProvideClassInfo: the coclass type information from the registered type library.
#pragma once
#include <windows.h>
#include <ole2.h>
#include <oaidl.h>
#include <ocidl.h>

#include "com/NivraTeskIds.h"

namespace nivra {

class NullDispatch : public INullDispatch {
public:
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale, DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* parameters,
                                     VARIANT* result, EXCEPINFO* exception, UINT* argumentError) override;
};

// The coclass `clsid` as registered; shared by the classes that offer IProvideClassInfo.
HRESULT RegisteredClassInfo(REFCLSID clsid, ITypeInfo** info);

}  // namespace nivra

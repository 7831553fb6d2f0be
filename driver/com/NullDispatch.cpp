#include "com/NullDispatch.h"

#include "com/ModuleServices.h"

namespace nivra {

namespace {

HRESULT NullDispatchTypeInfo(ITypeInfo** info) { return ModuleTypeInfo(__uuidof(INullDispatch), info); }

}  // namespace

HRESULT NullDispatch::GetTypeInfoCount(UINT* count) {
    if (!count) return E_POINTER;
    ITypeInfo* info = nullptr;
    *count = SUCCEEDED(NullDispatchTypeInfo(&info)) ? 1 : 0;
    if (info) info->Release();
    return S_OK;
}

HRESULT NullDispatch::GetTypeInfo(UINT index, LCID, ITypeInfo** info) {
    if (index != 0) return DISP_E_BADINDEX;
    if (!info) return E_POINTER;
    return NullDispatchTypeInfo(info);
}

HRESULT NullDispatch::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) { return DISP_E_UNKNOWNNAME; }

HRESULT NullDispatch::Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS* parameters, VARIANT* result, EXCEPINFO*, UINT*) {
    if (!parameters) return DISP_E_BADVARTYPE;
    if (parameters->cArgs > 0) return DISP_E_BADPARAMCOUNT;
    if (result) VariantInit(result);
    return DISP_E_MEMBERNOTFOUND;
}

HRESULT RegisteredClassInfo(REFCLSID clsid, ITypeInfo** info) {
    if (!info) return E_POINTER;
    return RegisteredTypeInfo(clsid, info);
}

}  // namespace nivra

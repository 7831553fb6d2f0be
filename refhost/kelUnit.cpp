#include "kelUnit.h"

namespace refhost {

HRESULT STDMETHODCALLTYPE CkelUnit::get_Value(VARIANT* value) {
    HOST_CALL(IkelQuantity, get_Value);
    if (!value) return E_POINTER;
    VariantInit(value);
    std::wstring symbol = FromUtf8(SymbolOf(unit_));
    value->bstrVal = SysAllocStringLen(symbol.data(), static_cast<UINT>(symbol.size()));
    if (!value->bstrVal) return E_OUTOFMEMORY;
    value->vt = VT_BSTR;
    return S_OK;
}

void CkelUnit::Describe(Json& out) {
    out = Json{{"code", unit_.code}, {"perCode", unit_.perCode}, {"unit", SymbolOf(unit_)}};
}

}  // namespace refhost

#include "kelMeasure.h"

namespace refhost {

HRESULT STDMETHODCALLTYPE CkelMeasure::put_UnitCode(LONG code) {
    HOST_CALL(IkelMeasure, put_UnitCode);
    unit_ = Unit{code, 0};
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CkelMeasure::get_Value(double* value) {
    HOST_CALL(IkelMeasure, get_Value);
    if (!value) return E_POINTER;
    *value = value_;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CkelMeasure::put_Value(double value) {
    HOST_CALL(IkelMeasure, put_Value);
    value_ = value;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CkelMeasure::SetValue(double value, LONG code, LONG perCode) {
    HOST_CALL(IkelMeasure, SetValue);
    value_ = value;
    unit_ = Unit{code, perCode};
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CkelMeasure::ConvertTo(IkelMeasure* measure, LONG code, IkelMeasure** converted) {
    HOST_CALL(IkelMeasure, ConvertTo);
    if (!converted) return E_POINTER;
    *converted = nullptr;
    if (!measure) return E_POINTER;
    // Only measures of this engine carry a unit it knows.
    const CkelMeasure* source = Own<CkelMeasure>(measure);
    if (!source) return E_INVALIDARG;
    double result = 0.0;
    Unit target{code, 0};
    if (!ConvertUnits(source->value_, source->unit_, target, result)) return E_INVALIDARG;
    *converted = Make(target, result).Detach();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CkelMeasure::get_Value(VARIANT* value) {
    HOST_CALL(IkelQuantity, get_Value);
    if (!value) return E_POINTER;
    VariantInit(value);
    value->vt = VT_R8;
    value->dblVal = value_;
    return S_OK;
}

void CkelMeasure::Describe(Json& out) {
    out = Json{{"code", unit_.code}, {"perCode", unit_.perCode}, {"unit", SymbolOf(unit_)}, {"value", value_}};
}

}  // namespace refhost

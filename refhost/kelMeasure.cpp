#include "kelMeasure.h"

namespace refhost {

HRESULT STDMETHODCALLTYPE CkelMeasure::put_UnitCode(LONG code) {
    HOST_CALL(IkelMeasure, put_UnitCode);
    home_->unit = Unit{code, 0};
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CkelMeasure::get_Value(double* value) {
    HOST_CALL(IkelMeasure, get_Value);
    if (!value) return E_POINTER;
    *value = home_->value;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CkelMeasure::put_Value(double value) {
    HOST_CALL(IkelMeasure, put_Value);
    home_->value = value;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CkelMeasure::SetValue(double value, LONG code, LONG perCode) {
    HOST_CALL(IkelMeasure, SetValue);
    *home_ = StoredMeasure{Unit{code, perCode}, value};
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
    if (!ConvertUnits(source->Value(), source->UnitOf(), target, result)) return E_INVALIDARG;
    *converted = Make(target, result).Detach();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CkelMeasure::get_Value(VARIANT* value) {
    HOST_CALL(IkelQuantity, get_Value);
    if (!value) return E_POINTER;
    VariantInit(value);
    value->vt = VT_R8;
    value->dblVal = home_->value;
    return S_OK;
}

Json Described(const StoredMeasure& m) {
    return Json{{"code", m.unit.code}, {"perCode", m.unit.perCode}, {"unit", SymbolOf(m.unit)}, {"value", m.value}};
}

void CkelMeasure::Describe(Json& out) { out = Described(*home_); }

}  // namespace refhost

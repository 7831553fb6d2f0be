#include "kelUOMFactory.h"

#include "kelMeasure.h"
#include "kelUnit.h"

namespace refhost {

HRESULT STDMETHODCALLTYPE CkelUOMFactory::CreateUnit(LONG code, LONG perCode, IUnknown** unit) {
    HOST_CALL(IkelUOMFactory, CreateUnit);
    if (!unit) return E_POINTER;
    requests_.push_back({"unit", Unit{code, perCode}, 0.0});
    *unit = static_cast<IkelQuantity*>(CkelUnit::Make(Unit{code, perCode}).Detach());
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CkelUOMFactory::CreateQuantity(LONG code, LONG perCode, IkelQuantity** quantity) {
    HOST_CALL(IkelUOMFactory, CreateQuantity);
    if (!quantity) return E_POINTER;
    requests_.push_back({"quantity", Unit{code, perCode}, 0.0});
    *quantity = CkelUnit::Make(Unit{code, perCode}).Detach();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CkelUOMFactory::CreateMeasure(LONG code, LONG perCode, double value, IkelMeasure** measure) {
    HOST_CALL(IkelUOMFactory, CreateMeasure);
    if (!measure) return E_POINTER;
    requests_.push_back({"measure", Unit{code, perCode}, value});
    *measure = CkelMeasure::Make(Unit{code, perCode}, value).Detach();
    return S_OK;
}

void CkelUOMFactory::Describe(Json& out) {
    out = Json{{"requests", Json::array()}};
    for (const Request& r : requests_)
        out["requests"].push_back(
            {{"what", r.what}, {"code", r.unit.code}, {"perCode", r.unit.perCode}, {"value", r.value}});
}

}  // namespace refhost

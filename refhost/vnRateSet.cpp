#include "vnRateSet.h"

#include "vnEnumVariant.h"
#include "vnRate.h"

namespace refhost {

HRESULT STDMETHODCALLTYPE CvnRateSet::get_Item(VARIANT productKey, IvnRate** rate) {
    HOST_CALL(IvnRateSet, get_Item);
    if (!rate) return E_POINTER;
    *rate = nullptr;
    if (productKey.vt != VT_BSTR) return E_INVALIDARG;
    std::wstring key = TextOf(productKey.bstrVal);
    for (const auto& entry : rates_)
        if (entry.first == key) return GiveOut(CvnRate::Make(entry.first, entry.second), rate);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CvnRateSet::get__NewEnum(IEnumVARIANT** items) {
    HOST_CALL(IvnRateSet, get__NewEnum);
    std::vector<ComPtr<IUnknown>> all;
    // Something the host may keep in a rate set that is not a rate.
    if (foreignFirstItem_)
        all.push_back(
            ComPtr<IUnknown>(static_cast<IEnumVARIANT*>(CvnEnumVariant::Make(std::vector<ComPtr<IUnknown>>()).Get())));
    for (const auto& entry : rates_)
        all.push_back(ComPtr<IUnknown>(static_cast<IvnRate*>(CvnRate::Make(entry.first, entry.second).Get())));
    return GiveOut(CvnEnumVariant::Make(std::move(all)), items);
}

HRESULT GiveOutProductRateSet(const PrescriptionData& data, IvnRateSet** rates) {
    if (!rates) return E_POINTER;
    *rates = nullptr;
    if (!data.hasRateSet) return S_OK;
    std::vector<std::pair<std::wstring, double>> products;
    for (const std::wstring& key : data.products) products.emplace_back(key, 0.0);
    return GiveOut(CvnRateSet::Make(std::move(products), data.foreignFirstItem), rates);
}

}  // namespace refhost

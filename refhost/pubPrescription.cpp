#include "pubPrescription.h"

#include <algorithm>

namespace refhost {

namespace {

// Even-odd rule: a point on the crossing count's side of each edge.
bool RingHolds(const std::vector<std::pair<double, double>>& ring, double x, double y) {
    bool inside = false;
    for (size_t i = 0, j = ring.size() - 1; i < ring.size(); j = i++) {
        const auto& a = ring[i];
        const auto& b = ring[j];
        if ((a.second > y) != (b.second > y) &&
            x < (b.first - a.first) * (y - a.second) / (b.second - a.second) + a.first)
            inside = !inside;
    }
    return inside;
}

RateZone ZoneFromJson(const Json& zone) {
    RateZone out;
    for (const Json& corner : zone.at("polygon")) out.ring.emplace_back(corner.at(0).get<double>(), corner.at(1).get<double>());
    if (out.ring.size() < 3) throw Json::other_error::create(501, "a zone needs at least three corners", &zone);
    for (const auto& rate : zone.at("rates").items()) out.rates.emplace_back(FromUtf8(rate.key()), rate.value().get<double>());
    return out;
}

void AddProductOnce(std::vector<std::wstring>& products, const std::wstring& key) {
    if (std::find(products.begin(), products.end(), key) == products.end()) products.push_back(key);
}

}  // namespace

const RateZone* PrescriptionData::ZoneAt(double x, double y) const {
    for (const RateZone& zone : zones)
        if (RingHolds(zone.ring, x, y)) return &zone;
    return nullptr;
}

HRESULT STDMETHODCALLTYPE PubEnum::Next(ULONG count, VARIANT* items, ULONG* fetched) {
    HOST_CALL(IEnumVARIANT, Next);
    if (!items) return E_POINTER;
    ULONG given = 0;
    for (; given < count && next_ < items_.size(); ++given, ++next_) {
        VariantInit(&items[given]);
        items[given].vt = VT_UNKNOWN;
        items[given].punkVal = items_[next_].Get();
        items[given].punkVal->AddRef();
    }
    for (ULONG rest = given; rest < count; ++rest) VariantInit(&items[rest]);
    if (fetched) *fetched = given;
    return given == count ? S_OK : S_FALSE;
}

HRESULT STDMETHODCALLTYPE PubEnum::Skip(ULONG count) {
    HOST_CALL(IEnumVARIANT, Skip);
    size_t left = items_.size() - next_;
    next_ += std::min<size_t>(count, left);
    return count <= left ? S_OK : S_FALSE;
}

HRESULT STDMETHODCALLTYPE PubEnum::Reset() {
    HOST_CALL(IEnumVARIANT, Reset);
    next_ = 0;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE PubEnum::Clone(IEnumVARIANT** copy) {
    HOST_CALL(IEnumVARIANT, Clone);
    ComPtr<PubEnum> clone = Make(items_);
    clone->next_ = next_;
    return GiveOut(clone, copy);
}

HRESULT STDMETHODCALLTYPE PubRateSet::get_Item(VARIANT productKey, IvnRate** rate) {
    HOST_CALL(IvnRateSet, get_Item);
    if (!rate) return E_POINTER;
    *rate = nullptr;
    if (productKey.vt != VT_BSTR) return E_INVALIDARG;
    std::wstring key = TextOf(productKey.bstrVal);
    for (const auto& entry : rates_)
        if (entry.first == key) return GiveOut(PubRate::Make(entry.first, entry.second), rate);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE PubRateSet::get__NewEnum(IEnumVARIANT** items) {
    HOST_CALL(IvnRateSet, get__NewEnum);
    std::vector<ComPtr<IUnknown>> all;
    // Something the host may keep in a rate set that is not a rate.
    if (foreignFirstItem_) all.push_back(ComPtr<IUnknown>(static_cast<IEnumVARIANT*>(PubEnum::Make(std::vector<ComPtr<IUnknown>>()).Get())));
    for (const auto& entry : rates_) all.push_back(ComPtr<IUnknown>(static_cast<IvnRate*>(PubRate::Make(entry.first, entry.second).Get())));
    return GiveOut(PubEnum::Make(std::move(all)), items);
}

std::shared_ptr<const PrescriptionData> PubPrescription::FromJson(const Json& settings) {
    auto data = std::make_shared<PrescriptionData>();
    data->id = FromUtf8(settings.at("id").get<std::string>());
    if (settings.contains("zones"))
        for (const Json& zone : settings.at("zones")) data->zones.push_back(ZoneFromJson(zone));
    if (settings.contains("products")) {
        for (const Json& key : settings.at("products")) AddProductOnce(data->products, FromUtf8(key.get<std::string>()));
    } else {
        for (const RateZone& zone : data->zones)
            for (const auto& rate : zone.rates) AddProductOnce(data->products, rate.first);
    }
    if (settings.contains("extent")) {
        const Json& e = settings.at("extent");
        for (int i = 0; i < 4; ++i) data->extent[i] = e.at(i).get<double>();
        data->hasExtent = true;
    }
    data->hasRateSet = settings.value("rateSet", true);
    data->foreignFirstItem = settings.value("foreignFirstItem", false);
    return data;
}

HRESULT GiveOutProductRateSet(const PrescriptionData& data, IvnRateSet** rates) {
    if (!rates) return E_POINTER;
    *rates = nullptr;
    if (!data.hasRateSet) return S_OK;
    std::vector<std::pair<std::wstring, double>> products;
    for (const std::wstring& key : data.products) products.emplace_back(key, 0.0);
    return GiveOut(PubRateSet::Make(std::move(products), data.foreignFirstItem), rates);
}

HRESULT STDMETHODCALLTYPE PubPrescription::get_RateSet(IvnRateSet** rates) {
    HOST_CALL(IvnPrescription, get_RateSet);
    return GiveOutProductRateSet(*data_, rates);
}

HRESULT STDMETHODCALLTYPE PubPrescription::get_Id(BSTR* id) {
    HOST_CALL(IvnPrescription, get_Id);
    return CopyOut(data_->id, id);
}

HRESULT STDMETHODCALLTYPE PubPrescriptionList::get__NewEnum(IEnumVARIANT** items) {
    HOST_CALL(IvnPrescriptionList, get__NewEnum);
    std::vector<ComPtr<IUnknown>> all;
    for (const auto& p : prescriptions_) all.push_back(ComPtr<IUnknown>(static_cast<IvnPrescription*>(p.Get())));
    return GiveOut(PubEnum::Make(std::move(all)), items);
}

HRESULT STDMETHODCALLTYPE PubPrescriptionList::get_Count(LONG* count) {
    HOST_CALL(IvnPrescriptionList, get_Count);
    if (!count) return E_POINTER;
    *count = static_cast<LONG>(prescriptions_.size());
    return S_OK;
}

}  // namespace refhost

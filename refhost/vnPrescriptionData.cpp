#include "vnPrescriptionData.h"

#include "vnPrescription.h"
#include "vnRxSurface.h"

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
    for (const Json& corner : zone.at("polygon"))
        out.ring.emplace_back(corner.at(0).get<double>(), corner.at(1).get<double>());
    if (out.ring.size() < 3) throw Json::other_error::create(501, "a zone needs at least three corners", &zone);
    for (const auto& rate : zone.at("rates").items())
        out.rates.emplace_back(FromUtf8(rate.key()), rate.value().get<double>());
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

std::shared_ptr<const PrescriptionData> PrescriptionData::FromJson(const Json& settings) {
    auto data = std::make_shared<PrescriptionData>();
    data->id = FromUtf8(settings.at("id").get<std::string>());
    if (settings.contains("zones"))
        for (const Json& zone : settings.at("zones")) data->zones.push_back(ZoneFromJson(zone));
    if (settings.contains("products")) {
        for (const Json& key : settings.at("products"))
            AddProductOnce(data->products, FromUtf8(key.get<std::string>()));
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

std::shared_ptr<const PrescriptionData> PrescriptionDataOf(IUnknown* object) {
    if (CvnPrescription* prescription = Own<CvnPrescription>(object)) return prescription->Data();
    if (CvnRxSurface* surface = Own<CvnRxSurface>(object)) return surface->Data();
    return nullptr;
}

}  // namespace refhost

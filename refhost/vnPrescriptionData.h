// What a prescription (application map) of the reference host holds: rate zones, each a
// polygon with a rate per product, the products of its rate set and, optionally, a grid
// extent of its own. A prescription and the surface gridded from it share one of these.
#pragma once
#include "frame/HostObject.h"

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace refhost {

struct RateZone {
    std::vector<std::pair<double, double>> ring;         // polygon corners, not repeated at the end
    std::vector<std::pair<std::wstring, double>> rates;  // product key -> rate
};

struct PrescriptionData {
    std::wstring id;
    std::vector<std::wstring> products;  // product keys, in the order of the rate set
    std::vector<RateZone> zones;
    bool hasExtent = false;           // a grid extent of its own, else the zones' bounding box
    double extent[4] = {0, 0, 0, 0};  // x0, y0, x1, y1
    bool hasRateSet = true;
    bool foreignFirstItem = false;  // the rate set yields an item that is no rate first

    // The first zone holding (x, y), or null.
    const RateZone* ZoneAt(double x, double y) const;

    // {"id", "products": [key, ...] (else the keys met in the zones), "zones": [{"polygon":
    //  [[x, y], ...], "rates": {key: rate}}], "extent": [x0, y0, x1, y1], "rateSet": bool,
    //  "foreignFirstItem": bool}
    static std::shared_ptr<const PrescriptionData> FromJson(const Json& settings);
};

// The prescription data behind a prescription or a gridded surface of this host, or null.
std::shared_ptr<const PrescriptionData> PrescriptionDataOf(IUnknown* object);

}  // namespace refhost

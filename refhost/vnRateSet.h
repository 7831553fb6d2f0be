// The rates of a prescription's products, or of one grid cell, by product key and as an
// enumeration of rates.
#pragma once
#include "frame/HostObject.h"
#include "vnPrescriptionData.h"

#include <string>
#include <utility>
#include <vector>

namespace refhost {

class CvnRateSet : public HostObject<CvnRateSet, IvnRateSet> {
public:
    static constexpr const char* kClassName = "vnRateSet";
    void Describe(Json& out) override { out = Json::object(); }
    CvnRateSet(std::vector<std::pair<std::wstring, double>> rates, bool foreignFirstItem)
        : rates_(std::move(rates)), foreignFirstItem_(foreignFirstItem) {}

    HRESULT STDMETHODCALLTYPE get_Item(VARIANT productKey, IvnRate** rate) override;
    HRESULT STDMETHODCALLTYPE get__NewEnum(IEnumVARIANT** items) override;

private:
    std::vector<std::pair<std::wstring, double>> rates_;
    bool foreignFirstItem_;
};

// The rate set a prescription offers: every product once (its rate is 0: the rates live in
// the zones).
HRESULT GiveOutProductRateSet(const PrescriptionData& data, IvnRateSet** rates);

}  // namespace refhost

// A prescription (application map) of the catalog: its id and the rate set of its products;
// the rates themselves live in its zones (vnPrescriptionData.h).
#pragma once
#include "frame/HostObject.h"
#include "vnPrescriptionData.h"

#include <memory>

namespace refhost {

class CvnPrescription : public HostObject<CvnPrescription, IvnPrescription> {
public:
    static constexpr const char* kClassName = "vnPrescription";
    explicit CvnPrescription(std::shared_ptr<const PrescriptionData> data) : data_(std::move(data)) {}

    HRESULT STDMETHODCALLTYPE get_RateSet(IvnRateSet** rates) override;
    HRESULT STDMETHODCALLTYPE get_Id(BSTR* id) override;
    HOST_RESERVED(IvnPrescription, 3)
    HOST_RESERVED(IvnPrescription, 4)
    HOST_RESERVED(IvnPrescription, 5)
    HOST_RESERVED(IvnPrescription, 6)
    HOST_RESERVED(IvnPrescription, 7)
    HOST_RESERVED(IvnPrescription, 8)
    HOST_RESERVED(IvnPrescription, 10)
    HOST_RESERVED(IvnPrescription, 11)
    HOST_RESERVED(IvnPrescription, 12)
    HOST_RESERVED(IvnPrescription, 13)
    HOST_RESERVED(IvnPrescription, 14)
    HOST_RESERVED(IvnPrescription, 15)
    HOST_RESERVED(IvnPrescription, 16)
    HOST_RESERVED(IvnPrescription, 17)
    HOST_RESERVED(IvnPrescription, 18)
    HOST_RESERVED(IvnPrescription, 19)
    HOST_RESERVED(IvnPrescription, 20)
    HOST_RESERVED(IvnPrescription, 21)
    HOST_RESERVED(IvnPrescription, 22)
    HOST_RESERVED(IvnPrescription, 23)
    HOST_RESERVED(IvnPrescription, 24)
    HOST_RESERVED(IvnPrescription, 25)
    HOST_RESERVED(IvnPrescription, 26)
    HOST_RESERVED(IvnPrescription, 27)
    HOST_RESERVED(IvnPrescription, 28)
    HOST_RESERVED(IvnPrescription, 29)
    HOST_RESERVED(IvnPrescription, 30)
    HOST_RESERVED(IvnPrescription, 31)

    void Describe(Json& out) override { out = Json{{"id", Utf8(data_->id)}, {"zones", data_->zones.size()}}; }
    const std::shared_ptr<const PrescriptionData>& Data() const { return data_; }

private:
    std::shared_ptr<const PrescriptionData> data_;
};

}  // namespace refhost

// The catalog's prescriptions, as a count and an enumeration.
#pragma once
#include "frame/HostObject.h"
#include "vnPrescription.h"

#include <vector>

namespace refhost {

class CvnPrescriptionList : public HostObject<CvnPrescriptionList, IvnPrescriptionList> {
public:
    static constexpr const char* kClassName = "vnPrescriptionList";
    void Describe(Json& out) override {
        out = Json::array();
        for (const auto& prescription : prescriptions_)
            out.push_back(DescribeOf(static_cast<IvnPrescription*>(prescription.Get())));
    }

    HRESULT STDMETHODCALLTYPE get__NewEnum(IEnumVARIANT** items) override;
    HRESULT STDMETHODCALLTYPE get_Count(LONG* count) override;
    HOST_RESERVED(IvnPrescriptionList, 3)

    void Add(ComPtr<CvnPrescription> prescription) { prescriptions_.push_back(std::move(prescription)); }

private:
    std::vector<ComPtr<CvnPrescription>> prescriptions_;
};

}  // namespace refhost

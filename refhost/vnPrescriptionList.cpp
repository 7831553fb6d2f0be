#include "vnPrescriptionList.h"

#include "vnEnumVariant.h"

namespace refhost {

HRESULT STDMETHODCALLTYPE CvnPrescriptionList::get__NewEnum(IEnumVARIANT** items) {
    HOST_CALL(IvnPrescriptionList, get__NewEnum);
    std::vector<ComPtr<IUnknown>> all;
    for (const auto& p : prescriptions_) all.push_back(ComPtr<IUnknown>(static_cast<IvnPrescription*>(p.Get())));
    return GiveOut(CvnEnumVariant::Make(std::move(all)), items);
}

HRESULT STDMETHODCALLTYPE CvnPrescriptionList::get_Count(LONG* count) {
    HOST_CALL(IvnPrescriptionList, get_Count);
    if (!count) return E_POINTER;
    *count = static_cast<LONG>(prescriptions_.size());
    return S_OK;
}

}  // namespace refhost

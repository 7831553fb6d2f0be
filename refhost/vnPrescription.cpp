#include "vnPrescription.h"

#include "vnRateSet.h"

namespace refhost {

HRESULT STDMETHODCALLTYPE CvnPrescription::get_RateSet(IvnRateSet** rates) {
    HOST_CALL(IvnPrescription, get_RateSet);
    return GiveOutProductRateSet(*data_, rates);
}

HRESULT STDMETHODCALLTYPE CvnPrescription::get_Id(BSTR* id) {
    HOST_CALL(IvnPrescription, get_Id);
    return CopyOut(data_->id, id);
}

}  // namespace refhost

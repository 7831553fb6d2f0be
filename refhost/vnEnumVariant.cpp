#include "vnEnumVariant.h"

#include <algorithm>

namespace refhost {

HRESULT STDMETHODCALLTYPE CvnEnumVariant::Next(ULONG count, VARIANT* items, ULONG* fetched) {
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

HRESULT STDMETHODCALLTYPE CvnEnumVariant::Skip(ULONG count) {
    HOST_CALL(IEnumVARIANT, Skip);
    size_t left = items_.size() - next_;
    next_ += std::min<size_t>(count, left);
    return count <= left ? S_OK : S_FALSE;
}

HRESULT STDMETHODCALLTYPE CvnEnumVariant::Reset() {
    HOST_CALL(IEnumVARIANT, Reset);
    next_ = 0;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CvnEnumVariant::Clone(IEnumVARIANT** copy) {
    HOST_CALL(IEnumVARIANT, Clone);
    ComPtr<CvnEnumVariant> clone = Make(items_);
    clone->next_ = next_;
    return GiveOut(clone, copy);
}

}  // namespace refhost

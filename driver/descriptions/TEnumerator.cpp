#include "descriptions/TEnumerator.h"

namespace nivra {

void TEnumerator::Attach(IUnknown* owner, const DescriptionList* items, ULONG position) {
    owner_ = owner;
    items_ = items;
    position_ = position;
}

void* TEnumerator::FindInterface(REFIID iid) {
    return IsEqualIID(iid, IID_IEnumVARIANT) ? static_cast<IEnumVARIANT*>(this) : nullptr;
}

HRESULT TEnumerator::Create(IUnknown* owner, const DescriptionList* items, ULONG position, REFIID iid, void** out) {
    TEnumerator* enumerator = new (std::nothrow) TEnumerator();
    if (!enumerator) return E_OUTOFMEMORY;
    enumerator->Attach(owner, items, position);
    IUnknown* inner = enumerator->InnerUnknown();
    inner->AddRef();
    HRESULT hr = inner->QueryInterface(iid, out);
    inner->Release();  // destroys the enumerator when the query failed
    return hr;
}

HRESULT TEnumerator::Next(ULONG count, VARIANT* array, ULONG* fetched) {
    if (!array || (count != 1 && !fetched)) return E_POINTER;
    if (!items_) return E_FAIL;
    ULONG delivered = 0;
    HRESULT hr = S_OK;
    while (position_ < Size() && delivered < count) {
        VARIANT& slot = array[delivered];
        hr = VariantClear(&slot);
        if (SUCCEEDED(hr)) {
            slot.vt = VT_DISPATCH;
            slot.pdispVal = nullptr;
            hr = (*items_)[position_]->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&slot.pdispVal));
        }
        if (FAILED(hr)) {
            // Nothing of a failed call stays with the caller; the position is not moved back.
            for (ULONG i = 0; i <= delivered; ++i) VariantClear(&array[i]);
            if (fetched) *fetched = 0;
            return hr;
        }
        ++position_;
        ++delivered;
    }
    if (fetched) *fetched = delivered;
    return delivered == count ? S_OK : S_FALSE;
}

HRESULT TEnumerator::Skip(ULONG count) {
    const ULONG remaining = Size() - position_;
    if (count <= remaining) {
        position_ += count;
        return S_OK;
    }
    position_ = Size();
    return S_FALSE;
}

HRESULT TEnumerator::Reset() {
    if (!items_) return E_FAIL;
    position_ = 0;
    return S_OK;
}

HRESULT TEnumerator::Clone(IEnumVARIANT** out) {
    if (!out) return E_POINTER;
    *out = nullptr;
    return Create(owner_.Get(), items_, position_, IID_IEnumVARIANT, reinterpret_cast<void**>(out));
}

}  // namespace nivra

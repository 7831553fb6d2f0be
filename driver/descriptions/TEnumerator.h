// TEnumerator: IEnumVARIANT over the description items of a collection. Each item is handed
// out as its IDispatch in a VT_DISPATCH VARIANT.
#pragma once
#include <vector>

#include "com/ComObject.h"
#include "descriptions/CDescription.h"

namespace nivra {

using DescriptionList = std::vector<ComPtr<CDescription>>;

class TEnumerator final : public ComObject<IEnumVARIANT> {
public:
    TEnumerator() = default;

    // The owner reference keeps the collection, and so the item array, alive while this
    // enumerator reads the array directly.
    void Attach(IUnknown* owner, const DescriptionList* items, ULONG position = 0);

    HRESULT STDMETHODCALLTYPE Next(ULONG count, VARIANT* array, ULONG* fetched) override;
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override;
    HRESULT STDMETHODCALLTYPE Reset() override;
    HRESULT STDMETHODCALLTYPE Clone(IEnumVARIANT** out) override;

    // A new enumerator attached to owner/items at position, queried for iid into out.
    static HRESULT Create(IUnknown* owner, const DescriptionList* items, ULONG position, REFIID iid, void** out);

protected:
    void* FindInterface(REFIID iid) override;

private:
    ULONG Size() const { return items_ ? static_cast<ULONG>(items_->size()) : 0; }

    ULONG position_ = 0;
    ComPtr<IUnknown> owner_;
    const DescriptionList* items_ = nullptr;
};

}  // namespace nivra

// The value slots of one logged point, one per data column of the machines attached to its
// operation, found by the column's key.
#pragma once
#include "HostObject.h"
#include "vnPointValue.h"

#include <vector>

namespace refhost {

class CvnPointValues : public HostObject<CvnPointValues, IvnPointValues> {
public:
    static constexpr const char* kClassName = "vnPointValues";

    // VT_BSTR column key; a key without a slot answers S_OK with null.
    HRESULT STDMETHODCALLTYPE get_Item(VARIANT key, IvnPointValue** value) override {
        HOST_CALL(IvnPointValues, get_Item);
        if (!value) return E_POINTER;
        *value = nullptr;
        Key which;
        HRESULT hr = ReadKey(key, which);
        if (FAILED(hr)) return hr;
        for (const auto& slot : slots_)
            if (which.isText && slot->Key() == which.text) return GiveOut(slot, value);
        return S_OK;
    }

    void Describe(Json& out) override {
        out = Json::object();
        for (const auto& slot : slots_) slot->Describe(out[Utf8(slot->Key())]);
    }
    void Add(const std::wstring& key, Unit unit) { slots_.push_back(CvnPointValue::Make(key, unit)); }

private:
    std::vector<ComPtr<CvnPointValue>> slots_;
};

}  // namespace refhost

// Yields VT_UNKNOWN items one at a time (or more); holds a reference to each item.
#pragma once
#include "frame/HostObject.h"

#include <vector>

namespace refhost {

class CvnEnumVariant : public HostObject<CvnEnumVariant, IEnumVARIANT> {
public:
    static constexpr const char* kClassName = "vnEnumVariant";
    void Describe(Json& out) override { out = Json::object(); }
    explicit CvnEnumVariant(std::vector<ComPtr<IUnknown>> items) : items_(std::move(items)) {}

    HRESULT STDMETHODCALLTYPE Next(ULONG count, VARIANT* items, ULONG* fetched) override;
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override;
    HRESULT STDMETHODCALLTYPE Reset() override;
    HRESULT STDMETHODCALLTYPE Clone(IEnumVARIANT** copy) override;

private:
    std::vector<ComPtr<IUnknown>> items_;
    size_t next_ = 0;
};

}  // namespace refhost

// A rate of one product (in a prescription's rate set, or in one grid cell).
#pragma once
#include "frame/HostObject.h"

#include <string>
#include <utility>

namespace refhost {

class CvnRate : public HostObject<CvnRate, IvnRate> {
public:
    static constexpr const char* kClassName = "vnRate";
    void Describe(Json& out) override { out = Json::object(); }
    CvnRate(std::wstring productKey, double value) : productKey_(std::move(productKey)), value_(value) {}

    HRESULT STDMETHODCALLTYPE get_ProductKey(BSTR* key) override {
        HOST_CALL(IvnRate, get_ProductKey);
        return CopyOut(productKey_, key);
    }
    HRESULT STDMETHODCALLTYPE get_Value(double* value) override {
        HOST_CALL(IvnRate, get_Value);
        if (!value) return E_POINTER;
        *value = value_;
        return S_OK;
    }
    HOST_RESERVED(IvnRate, 4)
    HOST_RESERVED(IvnRate, 5)
    HOST_RESERVED(IvnRate, 6)
    HOST_RESERVED(IvnRate, 7)
    HOST_RESERVED(IvnRate, 8)
    HOST_RESERVED(IvnRate, 9)
    HOST_RESERVED(IvnRate, 10)
    HOST_RESERVED(IvnRate, 11)
    HOST_RESERVED(IvnRate, 12)
    HOST_RESERVED(IvnRate, 13)
    HOST_RESERVED(IvnRate, 14)
    HOST_RESERVED(IvnRate, 15)
    HOST_RESERVED(IvnRate, 16)

private:
    std::wstring productKey_;
    double value_;
};

}  // namespace refhost

// A product of the host's catalog, with everything it was created with.
#pragma once
#include "frame/HostObject.h"

namespace refhost {

class CvnProduct : public HostObject<CvnProduct, IvnProduct> {
public:
    static constexpr const char* kClassName = "vnProduct";

    CvnProduct(std::wstring key, Json details) : key_(std::move(key)), details_(std::move(details)) {}

    HRESULT STDMETHODCALLTYPE get_Key(BSTR* key) override {
        HOST_CALL(IvnProduct, get_Key);
        return CopyOut(key_, key);
    }

    void Describe(Json& out) override {
        out = details_;
        out["key"] = Utf8(key_);
    }
    const std::wstring& Key() const { return key_; }

private:
    std::wstring key_;
    Json details_;
};

}  // namespace refhost

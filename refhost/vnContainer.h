// A container of the device model.
#pragma once
#include "frame/HostObject.h"

namespace refhost {

class CvnContainer : public HostObject<CvnContainer, IvnContainer> {
public:
    static constexpr const char* kClassName = "vnContainer";

    CvnContainer(std::wstring key, Json details) : key_(std::move(key)), details_(std::move(details)) {}

    HRESULT STDMETHODCALLTYPE get_Key(BSTR* key) override {
        HOST_CALL(IvnContainer, get_Key);
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

// A crop of the catalog: its key (what a crop zone names) and its name.
#pragma once
#include "frame/HostObject.h"

namespace refhost {

class CvnCrop : public HostObject<CvnCrop, IvnCrop> {
public:
    static constexpr const char* kClassName = "vnCrop";

    CvnCrop(std::wstring key, std::wstring name) : key_(std::move(key)), name_(std::move(name)) {}

    HRESULT STDMETHODCALLTYPE get_Name(BSTR* name) override {
        HOST_CALL(IvnCrop, get_Name);
        return CopyOut(name_, name);
    }
    HOST_RESERVED(IvnCrop, 3)
    HOST_RESERVED(IvnCrop, 4)
    HOST_RESERVED(IvnCrop, 5)
    HOST_RESERVED(IvnCrop, 6)
    HOST_RESERVED(IvnCrop, 7)

    void Describe(Json& out) override { out = Json{{"key", Utf8(key_)}, {"name", Utf8(name_)}}; }
    const std::wstring& Key() const { return key_; }

private:
    std::wstring key_;
    std::wstring name_;
};

}  // namespace refhost

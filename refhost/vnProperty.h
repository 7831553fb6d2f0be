// One entry of a property list: key, caption and the value the user sees or chose, with its
// choice list. The value can be set through Configure, as the user would in the host.
#pragma once
#include "frame/HostObject.h"
#include "vnPropertyChoices.h"

namespace refhost {

class CvnProperty : public HostObject<CvnProperty, IvnProperty> {
public:
    static constexpr const char* kClassName = "vnProperty";

    CvnProperty(std::wstring key, std::wstring caption, std::wstring value);

    HOST_RESERVED(IvnProperty, 3)
    HOST_RESERVED(IvnProperty, 4)
    HOST_RESERVED(IvnProperty, 5)
    HRESULT STDMETHODCALLTYPE get_Value(BSTR* value) override;
    HOST_RESERVED(IvnProperty, 7)
    HOST_RESERVED(IvnProperty, 8)
    HOST_RESERVED(IvnProperty, 9)
    HOST_RESERVED(IvnProperty, 10)
    HOST_RESERVED(IvnProperty, 11)
    HOST_RESERVED(IvnProperty, 12)
    HOST_RESERVED(IvnProperty, 13)
    HOST_RESERVED(IvnProperty, 14)
    HOST_RESERVED(IvnProperty, 15)
    HRESULT STDMETHODCALLTYPE get_Choices(IvnPropertyChoices** choices) override;

    void Describe(Json& out) override;
    // {"value": text} sets the value; {"nullValue": true} makes get_Value answer a null text.
    HRESULT Configure(const Json& settings) override;

    const std::wstring& Key() const { return key_; }

private:
    std::wstring key_;
    std::wstring caption_;
    std::wstring value_;
    bool nullValue_ = false;
    ComPtr<CvnPropertyChoices> choices_;
};

}  // namespace refhost

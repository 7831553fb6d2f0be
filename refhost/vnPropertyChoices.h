// The choice list of one property: the values the user may pick from, in order of adding.
#pragma once
#include "frame/HostObject.h"

#include <vector>

namespace refhost {

class CvnPropertyChoices : public HostObject<CvnPropertyChoices, IvnPropertyChoices> {
public:
    static constexpr const char* kClassName = "vnPropertyChoices";

    HOST_RESERVED(IvnPropertyChoices, 3)
    HOST_RESERVED(IvnPropertyChoices, 4)
    HOST_RESERVED(IvnPropertyChoices, 5)
    // The answer is the list itself, with one more reference.
    HRESULT STDMETHODCALLTYPE Add(BSTR choice, IUnknown** added) override;

    void Describe(Json& out) override;
    const std::vector<std::wstring>& Choices() const { return choices_; }

private:
    std::vector<std::wstring> choices_;
};

}  // namespace refhost

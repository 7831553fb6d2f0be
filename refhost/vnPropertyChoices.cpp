#include "vnPropertyChoices.h"

namespace refhost {

HRESULT STDMETHODCALLTYPE CvnPropertyChoices::Add(BSTR choice, IUnknown** added) {
    HOST_CALL(IvnPropertyChoices, Add);
    if (added) *added = nullptr;
    choices_.push_back(TextOf(choice));
    if (added) {
        *added = static_cast<IvnPropertyChoices*>(this);
        AddRef();
    }
    return S_OK;
}

void CvnPropertyChoices::Describe(Json& out) {
    out = Json::array();
    for (const std::wstring& choice : choices_) out.push_back(Utf8(choice));
}

}  // namespace refhost

#include "vnProperty.h"

namespace refhost {

CvnProperty::CvnProperty(std::wstring key, std::wstring caption, std::wstring value)
    : key_(std::move(key)), caption_(std::move(caption)), value_(std::move(value)),
      choices_(CvnPropertyChoices::Make()) {}

HRESULT STDMETHODCALLTYPE CvnProperty::get_Value(BSTR* value) {
    HOST_CALL(IvnProperty, get_Value);
    if (!value) return E_POINTER;
    if (nullValue_) {
        *value = nullptr;
        return S_OK;
    }
    return CopyOut(value_, value);
}

HRESULT STDMETHODCALLTYPE CvnProperty::get_Choices(IvnPropertyChoices** choices) {
    HOST_CALL(IvnProperty, get_Choices);
    return GiveOut(choices_, choices);
}

void CvnProperty::Describe(Json& out) {
    out = Json{{"key", Utf8(key_)}, {"caption", Utf8(caption_)}, {"value", Utf8(value_)}};
    choices_->Describe(out["choices"]);
}

HRESULT CvnProperty::Configure(const Json& settings) {
    if (settings.contains("value")) {
        value_ = FromUtf8(settings.at("value").get<std::string>());
        nullValue_ = false;
    }
    if (settings.contains("nullValue")) nullValue_ = settings.at("nullValue").get<bool>();
    return S_OK;
}

}  // namespace refhost

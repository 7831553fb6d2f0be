#include "publisher/PublishOptions.h"

#include <cstring>
#include <string>

#include "com/ComOwners.h"
#include "com/HostCall.h"

namespace nivra {
namespace {

struct OptionSpec {
    const wchar_t* name;
    const wchar_t* caption;
    const wchar_t* choices[2];
};

constexpr OptionSpec kExport{L"Export", L"Create Grid Shape File", {L"Yes", L"No"}};
constexpr OptionSpec kClearData{L"ClearData", L"Clear Text File Data", {L"No", L"Yes"}};

// Each choice goes through a freshly fetched choice list, and what the list hands back for
// the added choice is not kept.
void AddChoice(IvnProperty* option, const wchar_t* choice) {
    ComPtr<IvnPropertyChoices> choices;
    Check(option->get_Choices(choices.GetAddressOf()), option);
    IvnPropertyChoices* list = Required(choices);
    Bstr text(choice);
    ComPtr<IUnknown> added;
    Check(list->Add(text.Get(), added.GetAddressOf()), list);
}

void AddOption(IvnProperties* options, const OptionSpec& spec) {
    Bstr name(spec.name), caption(spec.caption), initial(L"");
    ComPtr<IvnProperty> option;
    Check(options->Add(name.Get(), caption.Get(), initial.Get(), option.GetAddressOf()), options);
    if (!option) return;
    for (const wchar_t* choice : spec.choices) AddChoice(option.Get(), choice);
}

}  // namespace

void AddPublishOptions(IvnProperties* options) {
    AddOption(options, kExport);
    AddOption(options, kClearData);
}

bool OptionIs(IvnProperties* options, const wchar_t* name, const char* expected) {
    ComPtr<IvnProperty> option;
    {
        Variant key = Variant::Text(name);
        Check(options->get_Item(*key.Get(), option.GetAddressOf()), options);
    }
    if (!option) return false;
    Bstr value;
    Check(option->get_Value(value.Out()), option.Get());
    std::string narrow = BstrToAnsi(value.Get());
    return std::strcmp(narrow.c_str(), expected) == 0;
}

}  // namespace nivra

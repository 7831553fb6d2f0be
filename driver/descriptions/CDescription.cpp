#include "descriptions/CDescription.h"

#include "com/TextSlots.h"

namespace nivra {

HRESULT CDescription::Initialize(const DescriptionTexts& texts) {
    name_.Reset(AnsiToBstr(texts.name));
    progId_.Reset(AnsiToBstr(texts.progId));
    description_.Reset(AnsiToBstr(texts.description));
    secondText_.Reset(AnsiToBstr(texts.secondText));
    return name_.Get() && progId_.Get() && description_.Get() && secondText_.Get() ? S_OK : E_OUTOFMEMORY;
}

void* CDescription::FindInterface(REFIID iid) {
    if (IsEqualIID(iid, __uuidof(IvnTESKDescription))) return static_cast<IvnTESKDescription*>(this);
    if (IsEqualIID(iid, __uuidof(IvnTESKDescription2))) return static_cast<IvnTESKDescription2*>(this);
    if (IsEqualIID(iid, __uuidof(INullDispatch)) || IsEqualIID(iid, IID_IDispatch))
        return static_cast<INullDispatch*>(this);
    return nullptr;
}

HRESULT CDescription::Name(BSTR* name) { return StoredTextOut(name_, name); }
HRESULT CDescription::ProgID(BSTR* progId) { return StoredTextOut(progId_, progId); }
HRESULT CDescription::Description(BSTR* description) { return StoredTextOut(description_, description); }
HRESULT CDescription::SecondText(BSTR* text) { return StoredTextOut(secondText_, text); }

HRESULT CDescription::Slot7(LONG* value) {
    if (!value) return E_INVALIDARG;
    *value = 33;
    return S_OK;
}

HRESULT CDescription::Slot8(VARIANT* answer) { return BoolVariantOut(VARIANT_FALSE, answer); }
HRESULT CDescription::Slot9(VARIANT* answer) { return BoolVariantOut(VARIANT_TRUE, answer); }

}  // namespace nivra

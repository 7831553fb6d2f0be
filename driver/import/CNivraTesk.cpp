#include "import/CNivraTesk.h"

#include "com/HostCall.h"
#include "com/NivraTeskIds.h"
#include "com/TextSlots.h"
#include "import/ImportSide.h"

namespace nivra {

CNivraTesk::~CNivraTesk() {
    unitsContext_.Reset();
    unitsFactory_.Reset();
}

HRESULT CNivraTesk::FinalConstruct() {
    try {
        unitsFactory_ = CreateUnitsFactory();
        IkelUOMFactory* factory = Required(unitsFactory_);
        Check(factory->CreateQuantity(0, 0, unitsContext_.ReleaseAndGetAddressOf()), factory);
    } catch (const HostCallError&) {
        return E_FAIL;
    }
    return S_OK;
}

void* CNivraTesk::FindInterface(REFIID iid) {
    if (IsEqualIID(iid, __uuidof(IvnTESK))) return static_cast<IvnTESK*>(this);
    if (IsEqualIID(iid, __uuidof(INullDispatch)) || IsEqualIID(iid, IID_IDispatch))
        return static_cast<INullDispatch*>(this);
    if (IsEqualIID(iid, IID_IProvideClassInfo)) return static_cast<IProvideClassInfo*>(this);
    return nullptr;
}

HRESULT CNivraTesk::get_Language(BSTR* language) { return StoredTextOut(language_, language); }
HRESULT CNivraTesk::put_Language(BSTR language) { return StoreTextCopy(language_, language); }
HRESULT CNivraTesk::Name(BSTR* name) { return ConstantTextOut("AftTesk", name); }
HRESULT CNivraTesk::Version(BSTR* version) { return ConstantTextOut("1.0.0.5", version); }
HRESULT CNivraTesk::Slot7(VARIANT_BOOL* answer) { return BoolOut(VARIANT_TRUE, answer); }

HRESULT CNivraTesk::PrepareFileList(IvnFileList* list, VARIANT_BOOL* result) {
    return ComBoundary([&] { return nivra::PrepareFileList(list, result); });
}

HRESULT CNivraTesk::ListFiles(IvnFileList* list, BSTR folder, LONG, LONG) {
    return ComBoundary([&] { return nivra::ListFiles(list, folder); });
}

HRESULT CNivraTesk::ImportFiles(IvnImportTarget* target, IvnFiles* files, IvnProgress* progress, VARIANT_BOOL* result) {
    return ComBoundary([&] { return nivra::ImportFiles(*this, target, files, progress, result); });
}

HRESULT CNivraTesk::Slot11(VARIANT_BOOL* answer) { return BoolOut(VARIANT_FALSE, answer); }
HRESULT CNivraTesk::Slot12(VARIANT_BOOL* answer) { return BoolOut(VARIANT_FALSE, answer); }
HRESULT CNivraTesk::Slot13(VARIANT_BOOL* answer) { return BoolOut(VARIANT_TRUE, answer); }
HRESULT CNivraTesk::Slot14(VARIANT_BOOL* answer) { return BoolOut(VARIANT_FALSE, answer); }
HRESULT CNivraTesk::Slot15(VARIANT_BOOL* answer) { return BoolOut(VARIANT_FALSE, answer); }
HRESULT CNivraTesk::Slot16(LONG) { return E_NOTIMPL; }
HRESULT CNivraTesk::get_SecondText(BSTR* text) { return StoredTextOut(secondText_, text); }
HRESULT CNivraTesk::put_SecondText(BSTR text) { return StoreTextCopy(secondText_, text); }
HRESULT CNivraTesk::Vendor(BSTR* vendor) { return ConstantTextOut("Brenmoor", vendor); }
HRESULT CNivraTesk::Slot20(LONG, LONG) { return E_NOTIMPL; }
HRESULT CNivraTesk::Slot21(LONG, LONG, LONG, LONG) { return E_NOTIMPL; }
HRESULT CNivraTesk::Slot22(LONG, LONG, LONG, LONG) { return E_NOTIMPL; }
HRESULT CNivraTesk::Slot23(LONG) { return E_NOTIMPL; }
HRESULT CNivraTesk::Slot24(LONG) { return E_NOTIMPL; }
HRESULT CNivraTesk::GetClassInfo(ITypeInfo** info) { return RegisteredClassInfo(CLSID_CNivraTesk, info); }

}  // namespace nivra

#include "CNivraPublisher.h"

#include "NivraTeskIds.h"
#include "NullDispatch.h"
#include "TextSlots.h"

namespace nivra {

void* CNivraPublisher::FindInterface(REFIID iid) {
    if (IsEqualIID(iid, __uuidof(IvnPublisher))) return static_cast<IvnPublisher*>(this);
    if (IsEqualIID(iid, IID_IProvideClassInfo)) return static_cast<IProvideClassInfo*>(this);
    return nullptr;
}

HRESULT CNivraPublisher::get_Language(BSTR* language) { return StoredTextOut(language_, language); }
HRESULT CNivraPublisher::put_Language(BSTR language) { return StoreTextCopy(language_, language); }
HRESULT CNivraPublisher::Name(BSTR* name) { return ConstantTextOut("NivraTeskPublisher", name); }
HRESULT CNivraPublisher::Version(BSTR* version) { return ConstantTextOut("1.0.0.5", version); }

// The publishing slots: not available yet.
HRESULT CNivraPublisher::get_StoredText(BSTR*) { return E_NOTIMPL; }
HRESULT CNivraPublisher::put_StoredText(BSTR) { return E_NOTIMPL; }
HRESULT CNivraPublisher::get_StoredObject(IUnknown**) { return E_NOTIMPL; }
HRESULT CNivraPublisher::putref_StoredObject(IUnknown*) { return E_NOTIMPL; }
HRESULT CNivraPublisher::get_CellSize(IkelMeasure**) { return E_NOTIMPL; }
HRESULT CNivraPublisher::get_ReservedObject(IUnknown**) { return E_NOTIMPL; }
HRESULT CNivraPublisher::get_Options(IvnProperties**) { return E_NOTIMPL; }
HRESULT CNivraPublisher::get_DestinationFolder(BSTR*) { return E_NOTIMPL; }
HRESULT CNivraPublisher::put_DestinationFolder(BSTR) { return E_NOTIMPL; }
HRESULT CNivraPublisher::get_ExtraText(BSTR*) { return E_NOTIMPL; }
HRESULT CNivraPublisher::Publish(IvnCatalog*, LONG, LONG, VARIANT_BOOL*) { return E_NOTIMPL; }
HRESULT CNivraPublisher::SetHostObjectA(IUnknown*, LONG, LONG) { return E_NOTIMPL; }
HRESULT CNivraPublisher::SetHostObjectB(IUnknown*, LONG, LONG) { return E_NOTIMPL; }
HRESULT CNivraPublisher::Slot20(LONG, LONG, LONG) { return E_NOTIMPL; }
HRESULT CNivraPublisher::Slot21(LONG, LONG, LONG, LONG, LONG, LONG, BSTR*) { return E_NOTIMPL; }

// Never offered.
HRESULT CNivraPublisher::Slot22(LONG, LONG) { return E_NOTIMPL; }
HRESULT CNivraPublisher::Slot23(LONG) { return E_NOTIMPL; }

HRESULT CNivraPublisher::GetClassInfo(ITypeInfo** info) { return RegisteredClassInfo(CLSID_CNivraPublisher, info); }

}  // namespace nivra

#include "descriptions/CDescriptions.h"

#include "com/ModuleServices.h"
#include "com/NivraTeskIds.h"
#include "com/NullDispatch.h"
#include "com/TextSlots.h"

namespace nivra {
namespace {

// The one driver this DLL offers.
constexpr DescriptionTexts kTeskDescription = {"NivraTESK", "NivraTesk.NIVRATESK", "Nivra N Sensor Data",
                                               "Nivra N Sensor Data"};

bool SameText(BSTR a, BSTR b) {
    return CompareStringW(LOCALE_USER_DEFAULT, 0, a ? a : L"", a ? static_cast<int>(SysStringLen(a)) : 0, b ? b : L"",
                          b ? static_cast<int>(SysStringLen(b)) : 0) == CSTR_EQUAL;
}

}  // namespace

HRESULT CDescriptions::FinalConstruct() {
    language_.Reset(AnsiToBstr("en"));
    if (!language_.Get()) return E_OUTOFMEMORY;
    ComPtr<CDescription> item = new (std::nothrow) CDescription();
    if (!item) return E_OUTOFMEMORY;
    HRESULT hr = item->Initialize(kTeskDescription);
    if (FAILED(hr)) return hr;
    items_.push_back(item);
    return S_OK;
}

void* CDescriptions::FindInterface(REFIID iid) {
    if (IsEqualIID(iid, __uuidof(INewEnumDispatch)) || IsEqualIID(iid, IID_IDispatch))
        return static_cast<INewEnumDispatch*>(this);
    if (IsEqualIID(iid, __uuidof(IvnTESKDescriptions))) return static_cast<IvnTESKDescriptions*>(this);
    if (IsEqualIID(iid, __uuidof(IvnTESKDescriptions2))) return static_cast<IvnTESKDescriptions2*>(this);
    if (IsEqualIID(iid, IID_IProvideClassInfo)) return static_cast<IProvideClassInfo*>(this);
    return nullptr;
}

// The vtable half of the dual interface, so that DispInvoke calls the methods through it.
HRESULT CDescriptions::DispatchTypeInfo(ITypeInfo** info) {
    ComPtr<ITypeInfo> found;
    HRESULT hr = RegisteredTypeInfo(__uuidof(INewEnumDispatch), found.GetAddressOf());
    if (FAILED(hr)) return hr;
    TYPEATTR* attributes = nullptr;
    hr = found->GetTypeAttr(&attributes);
    if (FAILED(hr)) return hr;
    const bool dualDispatch = attributes->typekind == TKIND_DISPATCH && (attributes->wTypeFlags & TYPEFLAG_FDUAL);
    found->ReleaseTypeAttr(attributes);
    if (dualDispatch) {
        HREFTYPE vtablePart = 0;
        ComPtr<ITypeInfo> vtableInfo;
        if (SUCCEEDED(found->GetRefTypeOfImplType(static_cast<UINT>(-1), &vtablePart)) &&
            SUCCEEDED(found->GetRefTypeInfo(vtablePart, vtableInfo.GetAddressOf())))
            found = vtableInfo;
    }
    *info = found.Detach();
    return S_OK;
}

HRESULT CDescriptions::GetTypeInfoCount(UINT* count) {
    if (!count) return E_POINTER;
    *count = 1;
    return S_OK;
}

HRESULT CDescriptions::GetTypeInfo(UINT index, LCID, ITypeInfo** info) {
    if (!info) return E_POINTER;
    *info = nullptr;
    if (index != 0) return DISP_E_BADINDEX;
    return DispatchTypeInfo(info);
}

HRESULT CDescriptions::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
    ComPtr<ITypeInfo> info;
    HRESULT hr = DispatchTypeInfo(info.GetAddressOf());
    if (FAILED(hr)) return hr;
    return DispGetIDsOfNames(info.Get(), names, count, ids);
}

HRESULT CDescriptions::Invoke(DISPID id, REFIID iid, LCID, WORD flags, DISPPARAMS* parameters, VARIANT* result,
                              EXCEPINFO* exception, UINT* argumentError) {
    if (!IsEqualIID(iid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
    ComPtr<ITypeInfo> info;
    HRESULT hr = DispatchTypeInfo(info.GetAddressOf());
    if (FAILED(hr)) return hr;
    // The enumerator is a property; JScript's Enumerator asks for it as a method.
    if (id == DISPID_NEWENUM && (flags & DISPATCH_METHOD)) flags |= DISPATCH_PROPERTYGET;
    hr = DispInvoke(static_cast<INewEnumDispatch*>(this), info.Get(), id, flags, parameters, result, exception,
                    argumentError);
    // A failed member leaves no half-made result (the dispatcher types it even then).
    if (FAILED(hr) && result) VariantClear(result);
    return hr;
}

HRESULT CDescriptions::get_NewEnum(IUnknown** enumerator) { return NewEnum(enumerator); }

HRESULT CDescriptions::NewEnum(IUnknown** enumerator) {
    if (!enumerator) return E_POINTER;
    *enumerator = nullptr;
    return TEnumerator::Create(static_cast<IvnTESKDescriptions*>(this), &items_, 0, IID_IEnumVARIANT,
                               reinterpret_cast<void**>(enumerator));
}

HRESULT CDescriptions::ProgID(BSTR* progId) { return ConstantTextOut("NivraTesk.Descriptions", progId); }
HRESULT CDescriptions::get_Language(BSTR* language) { return StoredTextOut(language_, language); }
HRESULT CDescriptions::put_Language(BSTR language) { return StoreTextCopy(language_, language); }
HRESULT CDescriptions::Name(BSTR* name) { return ConstantTextOut("NivraTesk (Brenmoor)", name); }
HRESULT CDescriptions::Description(BSTR* description) { return ConstantTextOut("Nivra N Sensor files", description); }
HRESULT CDescriptions::Version(BSTR* version) { return ConstantTextOut("1.00", version); }
HRESULT CDescriptions::Slot9(VARIANT* answer) { return BoolVariantOut(VARIANT_TRUE, answer); }
HRESULT CDescriptions::Slot10(LONG) { return E_NOTIMPL; }
HRESULT CDescriptions::Slot11(VARIANT_BOOL* answer) { return BoolOut(VARIANT_FALSE, answer); }
HRESULT CDescriptions::Slot12(LONG) { return E_NOTIMPL; }
HRESULT CDescriptions::Slot13(VARIANT_BOOL* answer) { return BoolOut(VARIANT_FALSE, answer); }
HRESULT CDescriptions::Slot14(LONG, LONG) { return E_NOTIMPL; }
HRESULT CDescriptions::Slot16(VARIANT, void*) { return E_NOTIMPL; }

CDescription* CDescriptions::Find(const VARIANT& index) const {
    if (index.vt == VT_I4) {
        const ULONG position = static_cast<ULONG>(index.lVal) - 1;
        return position < items_.size() ? items_[position].Get() : nullptr;
    }
    if (index.vt == VT_BSTR) {
        for (const auto& item : items_)
            if (SameText(item->NameText(), index.bstrVal)) return item.Get();
    }
    return nullptr;
}

HRESULT CDescriptions::Item(VARIANT index, IvnTESKDescription** item) {
    CDescription* found = Find(index);
    if (!found) return E_INVALIDARG;
    return found->QueryInterface(__uuidof(IvnTESKDescription), reinterpret_cast<void**>(item));
}

HRESULT CDescriptions::Item(VARIANT index, IvnTESKDescription2** item) {
    CDescription* found = Find(index);
    if (!found) return E_INVALIDARG;
    return found->QueryInterface(__uuidof(IvnTESKDescription2), reinterpret_cast<void**>(item));
}

HRESULT CDescriptions::CreateDriver(VARIANT index, IvnTESK** driver) {
    CDescription* found = Find(index);
    if (!found) return E_INVALIDARG;
    CLSID clsid;
    HRESULT hr = CLSIDFromProgID(found->ProgIdText(), &clsid);
    if (FAILED(hr)) return hr;
    return CoCreateInstance(clsid, nullptr,
                            CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER | CLSCTX_REMOTE_SERVER,
                            __uuidof(IvnTESK), reinterpret_cast<void**>(driver));
}

HRESULT CDescriptions::Count(LONG* count) {
    if (!count) return E_INVALIDARG;
    *count = static_cast<LONG>(items_.size());
    return S_OK;
}

HRESULT CDescriptions::GetClassInfo(ITypeInfo** info) { return RegisteredClassInfo(CLSID_CDescriptions, info); }

}  // namespace nivra

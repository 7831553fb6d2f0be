// CDescriptions: the collection through which the host's driver manager meets this DLL. It
// lists the DLL's drivers, creates them on request, and is scriptable through
// INewEnumDispatch (For Each over its items).
#pragma once
#include "com/ComObject.h"
#include "com/ComOwners.h"
#include "descriptions/CDescription.h"
#include "descriptions/TEnumerator.h"
#include "host/DriverInterfaces.h"

namespace nivra {

class CDescriptions final
    : public ComObject<INewEnumDispatch, IvnTESKDescriptions, IvnTESKDescriptions2, IProvideClassInfo> {
public:
    explicit CDescriptions(IUnknown* outer) : ComObject(outer) {}
    HRESULT FinalConstruct() override;

    // IDispatch, from the registered type library
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale, DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* parameters,
                                     VARIANT* result, EXCEPINFO* exception, UINT* argumentError) override;
    // INewEnumDispatch
    HRESULT STDMETHODCALLTYPE get_NewEnum(IUnknown** enumerator) override;

    // IvnTESKDescriptions / IvnTESKDescriptions2
    HRESULT STDMETHODCALLTYPE ProgID(BSTR* progId) override;
    HRESULT STDMETHODCALLTYPE get_Language(BSTR* language) override;
    HRESULT STDMETHODCALLTYPE put_Language(BSTR language) override;
    HRESULT STDMETHODCALLTYPE Name(BSTR* name) override;
    HRESULT STDMETHODCALLTYPE Description(BSTR* description) override;
    HRESULT STDMETHODCALLTYPE Version(BSTR* version) override;
    HRESULT STDMETHODCALLTYPE Slot9(VARIANT* answer) override;
    HRESULT STDMETHODCALLTYPE Slot10(LONG value) override;
    HRESULT STDMETHODCALLTYPE Slot11(VARIANT_BOOL* answer) override;
    HRESULT STDMETHODCALLTYPE Slot12(LONG value) override;
    HRESULT STDMETHODCALLTYPE Slot13(VARIANT_BOOL* answer) override;
    HRESULT STDMETHODCALLTYPE Slot14(LONG a, LONG b) override;
    HRESULT STDMETHODCALLTYPE CreateDriver(VARIANT index, IvnTESK** driver) override;
    HRESULT STDMETHODCALLTYPE Item(VARIANT index, IvnTESKDescription** item) override;
    HRESULT STDMETHODCALLTYPE Slot16(VARIANT value, void* pointer) override;
    HRESULT STDMETHODCALLTYPE Item(VARIANT index, IvnTESKDescription2** item) override;
    HRESULT STDMETHODCALLTYPE NewEnum(IUnknown** enumerator) override;
    HRESULT STDMETHODCALLTYPE Count(LONG* count) override;

    // IProvideClassInfo
    HRESULT STDMETHODCALLTYPE GetClassInfo(ITypeInfo** info) override;

protected:
    void* FindInterface(REFIID iid) override;

private:
    // The item an index VARIANT names: VT_I4 1-based position or VT_BSTR name; else null.
    CDescription* Find(const VARIANT& index) const;
    HRESULT DispatchTypeInfo(ITypeInfo** info);

    Bstr language_;
    DescriptionList items_;
};

}  // namespace nivra

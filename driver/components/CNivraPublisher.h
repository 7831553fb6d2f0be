// CNivraPublisher: the component through which the host sends planning data to the terminal.
// This unit holds its identity slots (the IvnComponent head) and the slots it never offers;
// its publishing slots answer E_NOTIMPL until the publish work is in place.
#pragma once
#include "ComObject.h"
#include "ComOwners.h"
#include "DriverInterfaces.h"

namespace nivra {

class CNivraPublisher final : public ComObject<IvnPublisher, IProvideClassInfo> {
public:
    explicit CNivraPublisher(IUnknown* outer) : ComObject(outer) {}

    // IvnComponent
    HRESULT STDMETHODCALLTYPE get_Language(BSTR* language) override;
    HRESULT STDMETHODCALLTYPE put_Language(BSTR language) override;
    HRESULT STDMETHODCALLTYPE Name(BSTR* name) override;
    HRESULT STDMETHODCALLTYPE Version(BSTR* version) override;
    // IvnPublisher
    HRESULT STDMETHODCALLTYPE get_StoredText(BSTR* text) override;
    HRESULT STDMETHODCALLTYPE put_StoredText(BSTR text) override;
    HRESULT STDMETHODCALLTYPE get_StoredObject(IUnknown** object) override;
    HRESULT STDMETHODCALLTYPE putref_StoredObject(IUnknown* object) override;
    HRESULT STDMETHODCALLTYPE get_CellSize(IkelMeasure** cellSize) override;
    HRESULT STDMETHODCALLTYPE get_ReservedObject(IUnknown** object) override;
    HRESULT STDMETHODCALLTYPE get_Options(IvnProperties** options) override;
    HRESULT STDMETHODCALLTYPE get_DestinationFolder(BSTR* folder) override;
    HRESULT STDMETHODCALLTYPE put_DestinationFolder(BSTR folder) override;
    HRESULT STDMETHODCALLTYPE get_ExtraText(BSTR* text) override;
    HRESULT STDMETHODCALLTYPE Publish(IvnCatalog* catalog, LONG reserved1, LONG reserved2, VARIANT_BOOL* ok) override;
    HRESULT STDMETHODCALLTYPE SetHostObjectA(IUnknown* object, LONG reserved1, LONG reserved2) override;
    HRESULT STDMETHODCALLTYPE SetHostObjectB(IUnknown* object, LONG reserved1, LONG reserved2) override;
    HRESULT STDMETHODCALLTYPE Slot20(LONG a, LONG b, LONG c) override;
    HRESULT STDMETHODCALLTYPE Slot21(LONG a, LONG b, LONG c, LONG d, LONG e, LONG f, BSTR* text) override;
    HRESULT STDMETHODCALLTYPE Slot22(LONG a, LONG b) override;
    HRESULT STDMETHODCALLTYPE Slot23(LONG a) override;
    // IProvideClassInfo
    HRESULT STDMETHODCALLTYPE GetClassInfo(ITypeInfo** info) override;

protected:
    void* FindInterface(REFIID iid) override;

private:
    Bstr language_;
};

}  // namespace nivra

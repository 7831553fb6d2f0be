// CNivraTesk: the import driver the host creates through the description collection. This
// unit holds its identity slots, the texts it keeps for the host and its creation with the
// host's units-of-measure factory; the import slots forward to the import side.
#pragma once
#include "com/ComObject.h"
#include "com/ComOwners.h"
#include "com/NullDispatch.h"
#include "host/DriverInterfaces.h"
#include "host/HostInterfaces.h"
#include "import/ImportState.h"

namespace nivra {

class CNivraTesk final : public ComObject<IvnTESKTail, NullDispatch, IProvideClassInfo> {
public:
    explicit CNivraTesk(IUnknown* outer) : ComObject(outer) {}
    ~CNivraTesk() override;
    // Creates the units factory and the units object the import keeps; E_FAIL without them.
    HRESULT FinalConstruct() override;

    IkelUOMFactory* UnitsFactory() const { return unitsFactory_.Get(); }
    IkelQuantity* UnitsContext() const { return unitsContext_.Get(); }
    ImportState& Import() { return import_; }

    // IvnComponent
    HRESULT STDMETHODCALLTYPE get_Language(BSTR* language) override;
    HRESULT STDMETHODCALLTYPE put_Language(BSTR language) override;
    HRESULT STDMETHODCALLTYPE Name(BSTR* name) override;
    HRESULT STDMETHODCALLTYPE Version(BSTR* version) override;
    // IvnTESK
    HRESULT STDMETHODCALLTYPE Slot7(VARIANT_BOOL* answer) override;
    HRESULT STDMETHODCALLTYPE PrepareFileList(IvnFileList* list, VARIANT_BOOL* result) override;
    HRESULT STDMETHODCALLTYPE ListFiles(IvnFileList* list, BSTR folder, LONG reserved1, LONG reserved2) override;
    HRESULT STDMETHODCALLTYPE ImportFiles(IvnImportTarget* target, IvnFiles* files, IvnProgress* progress,
                                          VARIANT_BOOL* result) override;
    HRESULT STDMETHODCALLTYPE Slot11(VARIANT_BOOL* answer) override;
    HRESULT STDMETHODCALLTYPE Slot12(VARIANT_BOOL* answer) override;
    HRESULT STDMETHODCALLTYPE Slot13(VARIANT_BOOL* answer) override;
    HRESULT STDMETHODCALLTYPE Slot14(VARIANT_BOOL* answer) override;
    HRESULT STDMETHODCALLTYPE Slot15(VARIANT_BOOL* answer) override;
    HRESULT STDMETHODCALLTYPE Slot16(LONG value) override;
    HRESULT STDMETHODCALLTYPE get_SecondText(BSTR* text) override;
    HRESULT STDMETHODCALLTYPE put_SecondText(BSTR text) override;
    HRESULT STDMETHODCALLTYPE Vendor(BSTR* vendor) override;
    // the tail
    HRESULT STDMETHODCALLTYPE Slot20(LONG a, LONG b) override;
    HRESULT STDMETHODCALLTYPE Slot21(LONG a, LONG b, LONG c, LONG d) override;
    HRESULT STDMETHODCALLTYPE Slot22(LONG a, LONG b, LONG c, LONG d) override;
    HRESULT STDMETHODCALLTYPE Slot23(LONG a) override;
    HRESULT STDMETHODCALLTYPE Slot24(LONG a) override;
    // IProvideClassInfo
    HRESULT STDMETHODCALLTYPE GetClassInfo(ITypeInfo** info) override;

protected:
    void* FindInterface(REFIID iid) override;

private:
    Bstr language_;
    Bstr secondText_;
    ImportState import_;  // the device model it keeps, and the current import call's objects
    ComPtr<IkelUOMFactory> unitsFactory_;
    ComPtr<IkelQuantity> unitsContext_;
};

}  // namespace nivra

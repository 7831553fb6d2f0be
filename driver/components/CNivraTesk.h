// CNivraTesk: the import driver the host creates through the description collection. This
// unit holds its identity slots, the texts it keeps for the host and its creation with the
// host's units-of-measure factory; the import slots forward to the import side.
#pragma once
#include "ComObject.h"
#include "ComOwners.h"
#include "DriverInterfaces.h"
#include "HostInterfaces.h"
#include "ImportSide.h"
#include "NullDispatch.h"

namespace nivra {

// The driver's method table continues after IvnTESK's last slot with five more that the host
// may call; declaring them here keeps the frame's own virtual functions out of those places.
struct DECLSPEC_NOVTABLE IvnTESKTail : public IvnTESK {
    // slot 20
    virtual HRESULT STDMETHODCALLTYPE Slot20(LONG a, LONG b) = 0;
    // slot 21
    virtual HRESULT STDMETHODCALLTYPE Slot21(LONG a, LONG b, LONG c, LONG d) = 0;
    // slot 22
    virtual HRESULT STDMETHODCALLTYPE Slot22(LONG a, LONG b, LONG c, LONG d) = 0;
    // slot 23
    virtual HRESULT STDMETHODCALLTYPE Slot23(LONG a) = 0;
    // slot 24
    virtual HRESULT STDMETHODCALLTYPE Slot24(LONG a) = 0;
};

class CNivraTesk final : public ComObject<IvnTESKTail, NullDispatch, IProvideClassInfo> {
public:
    explicit CNivraTesk(IUnknown* outer) : ComObject(outer) {}
    ~CNivraTesk() override;
    // Creates the units factory and the units object the import keeps; E_FAIL without them.
    HRESULT FinalConstruct() override;

    IkelUOMFactory* UnitsFactory() const { return unitsFactory_.Get(); }
    IkelQuantity* UnitsContext() const { return unitsContext_.Get(); }
    ImportStatePtr& Import() { return import_; }

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
    HRESULT STDMETHODCALLTYPE get_Slot17(BSTR* text) override;
    HRESULT STDMETHODCALLTYPE put_Slot18(BSTR text) override;
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
    ImportStatePtr import_;
    ComPtr<IkelUOMFactory> unitsFactory_;
    ComPtr<IkelQuantity> unitsContext_;
};

// Creates the host's units-of-measure factory from its ProgID in any class context: created
// for IUnknown, put into the running state, then queried. Raises the host-call error.
ComPtr<IkelUOMFactory> CreateUnitsFactory();

}  // namespace nivra

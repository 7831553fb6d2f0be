// CNivraPublisher: the component through which the host sends planning data to the terminal.
// It keeps the destination folder, offers the publish options, and runs the publish into its
// text store (publisher/PublishRun).
#pragma once
#include <windows.h>
#include <ocidl.h>

#include <string>

#include "com/ComObject.h"
#include "com/ComOwners.h"
#include "host/DriverInterfaces.h"
#include "host/HostInterfaces.h"
#include "publisher/TextStore.h"

namespace nivra {

class CNivraPublisher final : public ComObject<IvnPublisher, IProvideClassInfo> {
public:
    explicit CNivraPublisher(IUnknown* outer) : ComObject(outer) {}
    ~CNivraPublisher() override;

    // The units factory, the grid cell size and the options object; E_FAIL without them
    // (the options object alone may be missing).
    HRESULT FinalConstruct() override;

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
    HRESULT PublishInto(IvnCatalog* catalog, VARIANT_BOOL* ok);
    void KeepHostSession(IUnknown* object, ComPtr<IvnHostSession>& member);

    Bstr storedText_;
    Bstr language_;
    Bstr destinationFolderWide_;
    Bstr extraText_;  // offered to the host; nothing assigns it
    ComPtr<IkelUOMFactory> unitsFactory_;
    std::string destinationFolder_;
    ComPtr<IvnProperties> options_;
    ComPtr<IUnknown> reservedObject_;  // offered to the host; nothing assigns it
    ComPtr<IkelMeasure> cellSize_;
    ComPtr<IvnHostSession> hostObjectB_;
    ComPtr<IvnHostSession> hostObjectA_;
    ComPtr<IUnknown> storedObject_;
    TextStore store_;
};

}  // namespace nivra

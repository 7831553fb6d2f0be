#include "publisher/CNivraPublisher.h"

#include "com/HostCall.h"
#include "com/NivraTeskIds.h"
#include "com/NullDispatch.h"
#include "com/TextSlots.h"
#include "host/HostCodes.h"
#include "publisher/PublishOptions.h"
#include "publisher/PublishRun.h"

namespace nivra {
namespace {

// The offset maps' cell size: 30.0 metres.
constexpr double kCellSizeValue = 30.0;

// A missing options object is no construction error: the publisher then runs without options.
ComPtr<IvnProperties> CreateOptionsObject() {
    ComPtr<IvnProperties> options;
    if (FAILED(TryCreateByProgId(L"VANDOR.vnProperties", options))) options.Reset();
    return options;
}

template <typename I>
HRESULT InterfaceOut(const ComPtr<I>& member, I** out) {
    if (!out) return E_INVALIDARG;
    *out = member.Get();
    if (*out) (*out)->AddRef();
    return S_OK;
}

}  // namespace

CNivraPublisher::~CNivraPublisher() = default;

HRESULT CNivraPublisher::FinalConstruct() {
    try {
        unitsFactory_ = CreateUnitsFactory();
        IkelUOMFactory* factory = Required(unitsFactory_);
        Check(factory->CreateMeasure(hostcodes::kMetre, hostcodes::kNoUnit, kCellSizeValue,
                                     cellSize_.ReleaseAndGetAddressOf()),
              factory);
        options_ = CreateOptionsObject();
    } catch (const HostCallError&) {
        return E_FAIL;
    }
    return S_OK;
}

void* CNivraPublisher::FindInterface(REFIID iid) {
    if (IsEqualIID(iid, __uuidof(IvnPublisher))) return static_cast<IvnPublisher*>(this);
    if (IsEqualIID(iid, IID_IProvideClassInfo)) return static_cast<IProvideClassInfo*>(this);
    return nullptr;
}

HRESULT CNivraPublisher::get_Language(BSTR* language) { return StoredTextOut(language_, language); }
HRESULT CNivraPublisher::put_Language(BSTR language) { return StoreTextCopy(language_, language); }
HRESULT CNivraPublisher::Name(BSTR* name) { return ConstantTextOut("NivraTeskPublisher", name); }
HRESULT CNivraPublisher::Version(BSTR* version) { return ConstantTextOut("1.0.0.5", version); }

HRESULT CNivraPublisher::get_StoredText(BSTR* text) { return StoredTextOut(storedText_, text); }
HRESULT CNivraPublisher::put_StoredText(BSTR text) { return StoreTextCopy(storedText_, text); }

HRESULT CNivraPublisher::get_StoredObject(IUnknown** object) { return InterfaceOut(storedObject_, object); }

HRESULT CNivraPublisher::putref_StoredObject(IUnknown* object) {
    if (object != storedObject_.Get()) storedObject_ = object;
    return S_OK;
}

HRESULT CNivraPublisher::get_CellSize(IkelMeasure** cellSize) { return InterfaceOut(cellSize_, cellSize); }
HRESULT CNivraPublisher::get_ReservedObject(IUnknown** object) { return InterfaceOut(reservedObject_, object); }

// Both options are added on every call, as the host rebuilds its option page each time.
HRESULT CNivraPublisher::get_Options(IvnProperties** options) {
    if (!options) return E_INVALIDARG;
    *options = nullptr;
    if (!options_) return E_POINTER;
    return ComBoundary([&] {
        AddPublishOptions(options_.Get());
        return InterfaceOut(options_, options);
    });
}

HRESULT CNivraPublisher::get_DestinationFolder(BSTR* folder) {
    if (!folder) return E_INVALIDARG;
    *folder = nullptr;
    destinationFolderWide_.Reset(AnsiToBstr(destinationFolder_));
    if (!destinationFolderWide_.Get()) return E_OUTOFMEMORY;
    return StoredTextOut(destinationFolderWide_, folder);
}

HRESULT CNivraPublisher::put_DestinationFolder(BSTR folder) {
    return ComBoundary([&] {
        destinationFolder_ = BstrToAnsi(folder);
        return S_OK;
    });
}

HRESULT CNivraPublisher::get_ExtraText(BSTR* text) { return StoredTextOut(extraText_, text); }

HRESULT CNivraPublisher::Publish(IvnCatalog* catalog, LONG, LONG, VARIANT_BOOL* ok) {
    return ComBoundary([&] { return PublishInto(catalog, ok); });
}

// The files are written even when there is nowhere to report the result.
HRESULT CNivraPublisher::PublishInto(IvnCatalog* catalog, VARIANT_BOOL* ok) {
    if (!catalog) return E_POINTER;
    PublishSettings settings{destinationFolder_, cellSize_.Get(), options_.Get()};
    bool allWritten = false;
    try {
        allWritten = PublishCatalog(store_, settings, catalog);
    } catch (const StoreIndexError&) {
        return E_INVALIDARG;
    }
    if (!ok) return E_INVALIDARG;
    *ok = allWritten ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

// E_NOINTERFACE just leaves no session; any other failure of the query is the host's error.
void CNivraPublisher::KeepHostSession(IUnknown* object, ComPtr<IvnHostSession>& member) {
    member = QueryOptional<IvnHostSession>(object);
}

HRESULT CNivraPublisher::SetHostObjectA(IUnknown* object, LONG, LONG) {
    return ComBoundary([&] {
        KeepHostSession(object, hostObjectA_);
        return S_OK;
    });
}

HRESULT CNivraPublisher::SetHostObjectB(IUnknown* object, LONG, LONG) {
    return ComBoundary([&] {
        KeepHostSession(object, hostObjectB_);
        return S_OK;
    });
}

HRESULT CNivraPublisher::Slot20(LONG, LONG, LONG) { return E_NOTIMPL; }

HRESULT CNivraPublisher::Slot21(LONG, LONG, LONG, LONG, LONG, LONG, BSTR* text) { return ConstantTextOut("", text); }

// Never offered.
HRESULT CNivraPublisher::Slot22(LONG, LONG) { return E_NOTIMPL; }
HRESULT CNivraPublisher::Slot23(LONG) { return E_NOTIMPL; }

HRESULT CNivraPublisher::GetClassInfo(ITypeInfo** info) { return RegisteredClassInfo(CLSID_CNivraPublisher, info); }

}  // namespace nivra

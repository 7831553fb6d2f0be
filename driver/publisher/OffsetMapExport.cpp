#include "publisher/OffsetMapExport.h"

#include <new>

#include "com/ComOwners.h"
#include "com/HostCall.h"
#include "publisher/OffsetMapFormat.h"
#include "publisher/PublishHostValues.h"
#include "publisher/PublishOptions.h"

namespace nivra {
namespace {

ComPtr<IvnRxSurface> CreateSurface() {
    ComPtr<IvnRxSurface> surface;
    HRESULT hr = TryCreateByProgId(L"VANDOR.vnRxSurface", surface);
    if (FAILED(hr) && hr != E_NOINTERFACE) throw HostCallError(hr, __uuidof(IvnRxSurface));
    Required(surface);
    return surface;
}

// Each bound comes from a freshly fetched extent, as the host may recompute it.
template <typename Getter>
double ExtentValue(IvnRxSurface* surface, Getter getter) {
    ComPtr<IvnExtent> extent;
    Check(surface->get_Extent(extent.GetAddressOf()), surface);
    IvnExtent* bounds = Required(extent);
    double value = 0.0;
    Check((bounds->*getter)(&value), bounds);
    return value;
}

OffsetMapHeader ReadGridShape(IvnRxSurface* surface) {
    OffsetMapHeader header;
    LONG nx = 0, ny = 0;
    Check(surface->get_Columns(&nx), surface);
    Check(surface->get_Rows(&ny), surface);
    header.nx = nx;
    header.ny = ny;
    header.yMax = ExtentValue(surface, &IvnExtent::get_YMax);
    header.yMin = ExtentValue(surface, &IvnExtent::get_YMin);
    header.xMax = ExtentValue(surface, &IvnExtent::get_XMax);
    header.xMin = ExtentValue(surface, &IvnExtent::get_XMin);
    return header;
}

double RateValue(IvnRate* rate) {
    double value = 0.0;
    Check(rate->get_Value(&value), rate);
    return value;
}

// Walks the surface's cells in grid order and calls onCell(rate, blank) for every cell. A
// cell without a rate for the product (its zone carries other products) is a blank cell, so
// that the grid keeps nx * ny values and its row breaks.
template <typename OnCell>
void WalkProductCells(IvnRxSurface* surface, IvnRate* product, OnCell onCell) {
    VARIANT_BOOL more = VARIANT_FALSE;
    Check(surface->MoveFirst(&more), surface);
    while (more) {
        ComPtr<IvnRateSet> cellRates;
        Check(surface->get_CellRates(cellRates.GetAddressOf()), surface);
        ComPtr<IvnRate> rate;
        if (cellRates) {
            Bstr key;
            Check(product->get_ProductKey(key.Out()), product);
            Variant keyVariant = KeyVariant(key);
            Check(cellRates->get_Item(*keyVariant.Get(), rate.GetAddressOf()), cellRates.Get());
        }
        VARIANT_BOOL blank = VARIANT_TRUE;
        if (rate) Check(surface->get_IsBlank(&blank), surface);
        onCell(rate.Get(), blank < 0);
        Check(surface->MoveNext(&more), surface);
    }
}

void ExtendRange(IvnRxSurface* surface, IvnRate* product, OffsetMapRange& range) {
    WalkProductCells(surface, product, [&](IvnRate* rate, bool blank) {
        if (!blank) range.Include(RateValue(rate));
    });
}

void WriteValues(IvnRxSurface* surface, IvnRate* product, OffsetMapWriter& grid) {
    WalkProductCells(surface, product, [&](IvnRate* rate, bool blank) {
        if (blank) grid.WriteBlank();
        else grid.WriteValue(RateValue(rate));
    });
}

ComPtr<IvnRate> ProductOf(const VARIANT& item) {
    if (item.vt != VT_UNKNOWN && item.vt != VT_DISPATCH) return nullptr;
    return QueryOptional<IvnRate>(item.punkVal);
}

// Writes the grid of the first product whose file can be opened.
// Returns with the header's z range as far as it was computed.
void WriteFirstProductGrid(IvnRxSurface* surface, IvnRateSet* rates, OffsetMapHeader& header, const std::string& path) {
    ComPtr<IEnumVARIANT> items;
    Check(rates->get__NewEnum(items.GetAddressOf()), rates);
    IEnumVARIANT* walk = Required(items);
    bool keepGoing = true;
    for (;;) {
        Variant item;
        bool got = NextItem(walk, item);
        if (!got || !keepGoing) break;
        ComPtr<IvnRate> product = ProductOf(*item.Get());
        if (product) {
            ExtendRange(surface, product.Get(), header.z);
            OffsetMapWriter grid;
            if (grid.Open(path)) {
                grid.WriteHeader(header);
                WriteValues(surface, product.Get(), grid);
                grid.Finish();
                keepGoing = false;
            }
        }
        product.Reset();
        HRESULT cleared = VariantClear(item.Get());
        if (FAILED(cleared)) throw HostCallError(cleared, IID_IEnumVARIANT);
    }
}

// The shape file is a courtesy to the user: nothing that goes wrong here ends the export.
void WriteShapeFile(IvnRxSurface* surface, const std::string& gridPath) {
    try {
        std::string shapePath = gridPath.substr(0, gridPath.size() >= 4 ? gridPath.size() - 4 : 0) + ".shp";
        ComPtr<IvnFactory> factory;
        HRESULT hr = TryCreateByProgId(L"VANDOR.vnFactory", factory);
        if (FAILED(hr)) return;
        Required(factory);
        ComPtr<IvnPrescription> gridded;
        Check(surface->QueryInterface(__uuidof(IvnPrescription), reinterpret_cast<void**>(gridded.GetAddressOf())),
              surface);
        Bstr path(AnsiToBstr(shapePath));
        VARIANT_BOOL written = VARIANT_FALSE;
        Check(factory->WriteShapeFile(path.Get(), gridded.Get(), &written), factory.Get());
    } catch (const HostCallError&) {
    } catch (const std::bad_alloc&) {}
}

}  // namespace

void ExportOffsetMap(const PublishSettings& settings, const std::string& gridFileName, IvnPrescription* prescription) {
    const std::string path = settings.destinationFolder + "\\" + gridFileName;
    ComPtr<IvnRxSurface> surface = CreateSurface();
    VARIANT_BOOL built = VARIANT_FALSE;
    Check(surface->Build(prescription, settings.cellSize, &built), surface.Get());
    OffsetMapHeader header = ReadGridShape(surface.Get());

    ComPtr<IvnRateSet> rates;
    Check(prescription->get_RateSet(rates.GetAddressOf()), prescription);
    if (rates) WriteFirstProductGrid(surface.Get(), rates.Get(), header, path);
    rates.Reset();

    if (settings.options && OptionIs(settings.options, L"Export", "Yes")) WriteShapeFile(surface.Get(), path);
}

}  // namespace nivra

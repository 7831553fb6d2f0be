// Feeds arbitrary bytes to the KorvexLog GDAL driver as a file in GDAL's memory file system,
// opened and read the way GDAL's tools do: count, extent, every feature, a random read, an
// attribute filter. The first byte picks the open options and whether the name ends in
// ".log"; the rest is the file. Whatever the bytes, nothing may crash, hang or touch memory
// it does not own.
#include <cstdint>
#include <vector>

#include "KorvexLogDriver.h"
#include "cpl_vsi.h"
#include "gdal_priv.h"
#include "ogrsf_frmts.h"

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    korvexgdal::RegisterDriver();
    CPLSetErrorHandler(CPLQuietErrorHandler);
    return 0;
}

namespace {

void ReadEverything(GDALDataset& dataset) {
    OGRLayer* layer = dataset.GetLayer(0);
    if (!layer) return;
    const GIntBig count = layer->GetFeatureCount();
    OGREnvelope extent;
    // An extent exactly when there are points.
    if ((layer->GetExtent(&extent) == OGRERR_NONE) != (count > 0)) __builtin_trap();
    GIntBig seen = 0;
    for (auto& feature : *layer) {
        feature->GetGeometryRef();
        ++seen;
    }
    if (seen != count) __builtin_trap();
    delete layer->GetFeature(count / 2 + 1);
    layer->SetAttributeFilter("Nas > 10 OR BI IS NULL");
    layer->GetFeatureCount();
    dataset.GetMetadata();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::uint8_t flags = size > 0 ? data[0] : 0;
    if (size > 0) {
        ++data;
        --size;
    }
    const char* path = (flags & 4) ? "/vsimem/korvex-fuzz.dat" : "/vsimem/korvex-fuzz.log";
    std::vector<GByte> bytes(data, data + size);
    VSILFILE* file = VSIFileFromMemBuffer(path, bytes.data(), bytes.size(), FALSE);
    if (!file) return 0;
    VSIFCloseL(file);
    const char* drivers[] = {korvexgdal::kDriverName, nullptr};
    const char* options[] = {(flags & 1) ? "CHECK_POSITION=YES" : "CHECK_POSITION=NO",
                             (flags & 2) ? "CHECK_READING=YES" : "CHECK_READING=NO", nullptr};
    GDALDataset* dataset = GDALDataset::Open(path, GDAL_OF_VECTOR | GDAL_OF_READONLY, drivers, options);
    if (dataset) {
        ReadEverything(*dataset);
        GDALClose(dataset);
    }
    VSIUnlink(path);
    return 0;
}

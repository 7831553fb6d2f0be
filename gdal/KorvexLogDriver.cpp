#include "KorvexLogDriver.h"

#include <cinttypes>
#include <memory>
#include <string>

#include "KorvexError.h"
#include "LogIdentify.h"
#include "LogRows.h"
#include "WinLogFile.h"
#include "gdal_priv.h"
#include "ogrsf_frmts.h"

namespace korvexgdal {
namespace {

constexpr const char* kOpenOptions =
    "<OpenOptionList>"
    "  <Option name='CHECK_POSITION' type='boolean' default='NO' description="
    "'Keep only rows with a valid, non-zero position (korvex --check-position)'/>"
    "  <Option name='CHECK_READING' type='boolean' default='NO' description="
    "'Keep only rows with a valid sensor reading (korvex --check-reading)'/>"
    "</OpenOptionList>";

// The header texts are 8-bit text in the terminal's code page; GDAL wants UTF-8.
std::string Utf8(const std::string& text) {
    if (CPLIsUTF8(text.c_str(), -1)) return text;
    char* recoded = CPLRecode(text.c_str(), "CP1252", CPL_ENC_UTF8);
    std::string result = recoded;
    CPLFree(recoded);
    return result;
}

// The whole file through GDAL's virtual file system (/vsimem/, /vsizip/, ... included).
bool ReadImage(const std::string& fileName, korvex::FileImage& image) {
    VSILFILE* file = VSIFOpenL(fileName.c_str(), "rb");
    if (!file) {
        CPLError(CE_Failure, CPLE_OpenFailed, "%s: cannot open the log", fileName.c_str());
        return false;
    }
    bool ok = VSIFSeekL(file, 0, SEEK_END) == 0;
    const vsi_l_offset size = ok ? VSIFTellL(file) : 0;
    if (ok && size > 0x7FFFFFFF) {
        CPLError(CE_Failure, CPLE_NotSupported, "%s: the log is 2 GiB or larger; logs are limited to 2 GiB",
                 fileName.c_str());
        ok = false;
    }
    if (ok) {
        image.size = static_cast<std::int64_t>(size);
        image.bytes.reset(new (std::nothrow) std::uint8_t[size > 0 ? size : 1]);
        ok = image.bytes && VSIFSeekL(file, 0, SEEK_SET) == 0 &&
             VSIFReadL(image.bytes.get(), 1, static_cast<size_t>(size), file) == size;
        if (!ok) CPLError(CE_Failure, CPLE_FileIO, "%s: cannot read the log", fileName.c_str());
    }
    VSIFCloseL(file);
    return ok;
}

class KorvexLogLayer final : public OGRLayer, public OGRGetNextFeatureThroughRaw<KorvexLogLayer> {
    DEFINE_GET_NEXT_FEATURE_THROUGH_RAW(KorvexLogLayer)

public:
    KorvexLogLayer(std::string fileName, bool checkPosition, bool checkReading)
        : fileName_(std::move(fileName)), checkPosition_(checkPosition), checkReading_(checkReading) {
        defn_ = new OGRFeatureDefn(CPLGetBasename(fileName_.c_str()));
        defn_->Reference();
        defn_->SetGeomType(wkbPoint25D);
        srs_ = new OGRSpatialReference();
        srs_->SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
        srs_->importFromEPSG(4326);
        defn_->GetGeomFieldDefn(0)->SetSpatialRef(srs_);
        for (int c = 0; c < kColumnCount; ++c) {
            OGRFieldDefn field(kColumnNames[c], IsIntegerColumn(c) ? OFTInteger : OFTReal);
            defn_->AddFieldDefn(&field);
        }
        SetDescription(defn_->GetName());
    }
    ~KorvexLogLayer() override {
        defn_->Release();
        srs_->Release();
    }

    OGRFeatureDefn* GetLayerDefn() override { return defn_; }
    void ResetReading() override { next_ = 0; }

    OGRFeature* GetNextRawFeature() {
        const LogTable& table = Table();
        if (next_ >= table.rows.size()) return nullptr;
        OGRFeature* feature = MakeFeature(table, next_);
        ++next_;
        return feature;
    }

    OGRFeature* GetFeature(GIntBig fid) override {
        const LogTable& table = Table();
        if (fid < 1 || static_cast<std::uint64_t>(fid) > table.rows.size()) return nullptr;
        return MakeFeature(table, static_cast<std::size_t>(fid - 1));
    }

    OGRErr SetNextByIndex(GIntBig index) override {
        if (Filtered()) return OGRLayer::SetNextByIndex(index);
        if (index < 0 || static_cast<std::uint64_t>(index) > Table().rows.size()) return OGRERR_FAILURE;
        next_ = static_cast<std::size_t>(index);
        return OGRERR_NONE;
    }

    GIntBig GetFeatureCount(int force) override {
        if (Filtered()) return OGRLayer::GetFeatureCount(force);
        return static_cast<GIntBig>(Table().rows.size());
    }

    OGRErr GetExtent(OGREnvelope* extent, int /*force*/) override {
        const Extent& e = Table().extent;
        if (e.empty) return OGRERR_FAILURE;
        extent->MinX = e.minX;
        extent->MaxX = e.maxX;
        extent->MinY = e.minY;
        extent->MaxY = e.maxY;
        return OGRERR_NONE;
    }
    OGRErr GetExtent(int geomField, OGREnvelope* extent, int force) override {
        return OGRLayer::GetExtent(geomField, extent, force);
    }

    int TestCapability(const char* capability) override {
        if (EQUAL(capability, OLCRandomRead) || EQUAL(capability, OLCFastGetExtent) ||
            EQUAL(capability, OLCZGeometries) || EQUAL(capability, OLCStringsAsUTF8))
            return TRUE;
        if (EQUAL(capability, OLCFastFeatureCount) || EQUAL(capability, OLCFastSetNextByIndex)) return !Filtered();
        return FALSE;
    }

private:
    bool Filtered() const { return m_poFilterGeom != nullptr || m_poAttrQuery != nullptr; }

    // The log is converted once, on the first request for its rows, count or extent.
    const LogTable& Table() {
        if (!table_) Load();
        return *table_;
    }

    void Load() {
        table_ = std::make_unique<LogTable>();
        korvex::FileImage image;
        if (!ReadImage(fileName_, image)) return;
        try {
            *table_ = ConvertToRows(std::move(image), checkPosition_, checkReading_);
        } catch (const std::exception& e) {  // out of memory: nothing may escape into GDAL
            table_ = std::make_unique<LogTable>();
            CPLError(CE_Failure, CPLE_OutOfMemory, "%s: cannot hold the log's rows: %s", fileName_.c_str(), e.what());
            return;
        }
        const korvex::ConversionReport& report = table_->report;
        const unsigned long long rows = table_->rows.size();
        if (table_->cutOffset >= 0) {
            CPLError(CE_Warning, CPLE_AppDefined,
                     "%s: the log ends inside %s at byte %" PRId64 "; the %llu rows before it are read",
                     fileName_.c_str(), report.format == korvex::LogFormat::Binary ? "a record" : "an item",
                     table_->cutOffset, rows);
        } else if (!report.ok) {
            CPLError(CE_Warning, CPLE_AppDefined, "%s: the conversion stopped after %llu rows: %s", fileName_.c_str(),
                     rows, report.error.c_str());
        }
    }

    OGRFeature* MakeFeature(const LogTable& table, std::size_t index) {
        const LogRow& row = table.rows[index];
        auto* feature = new OGRFeature(defn_);
        feature->SetFID(static_cast<GIntBig>(index) + 1);
        for (int c = 0; c < kColumnCount; ++c) {
            if (row.IsNull(c)) feature->SetFieldNull(c);
            else if (IsIntegerColumn(c)) feature->SetField(c, row.Integer(c));
            else feature->SetField(c, row.Real(c));
        }
        auto* point = new OGRPoint(row.lon, row.lat, row.alt);
        point->assignSpatialReference(srs_);
        feature->SetGeometryDirectly(point);
        return feature;
    }

    std::string fileName_;
    bool checkPosition_, checkReading_;
    OGRFeatureDefn* defn_ = nullptr;
    OGRSpatialReference* srs_ = nullptr;
    std::unique_ptr<LogTable> table_;
    std::size_t next_ = 0;
};

class KorvexLogDataset final : public GDALDataset {
public:
    KorvexLogDataset(const std::string& fileName, bool checkPosition, bool checkReading)
        : layer_(std::make_unique<KorvexLogLayer>(fileName, checkPosition, checkReading)) {
        SetDescription(fileName.c_str());
    }

    int GetLayerCount() override { return 1; }
    OGRLayer* GetLayer(int index) override { return index == 0 ? layer_.get() : nullptr; }
    int TestCapability(const char*) override { return FALSE; }

    void SetHeaderMetadata(const korvex::LRHeader& header) {
        SetMetadataItem("HEADER_TEXT_A", Utf8(header.TextA).c_str());
        SetMetadataItem("HEADER_TEXT_B", Utf8(header.TextB).c_str());
        SetMetadataItem("HEADER_TEXT_C", Utf8(header.TextC).c_str());
        SetMetadataItem("HEADER_TEXT_D", Utf8(header.TextD).c_str());
        SetMetadataItem("HEADER_TEXT_E", Utf8(header.TextE).c_str());
        SetMetadataItem("AREA_HA", CPLSPrintf("%.15g", header.Area));
    }

private:
    std::unique_ptr<KorvexLogLayer> layer_;
};

korvex::LogFormat FormatOf(GDALOpenInfo* info) {
    if (info->fpL == nullptr || info->nHeaderBytes == 0) return korvex::LogFormat::Unknown;
    if (!HasLogExtension(info->pszFilename) && info->nHeaderBytes < 16) return korvex::LogFormat::Unknown;
    if (HasLogExtension(info->pszFilename)) info->TryToIngest(static_cast<int>(kIdentifyBytes));
    return ClaimedFormat(info->pszFilename, info->pabyHeader, info->nHeaderBytes);
}

int Identify(GDALOpenInfo* info) { return FormatOf(info) != korvex::LogFormat::Unknown; }

GDALDataset* Open(GDALOpenInfo* info) {
    const korvex::LogFormat format = FormatOf(info);
    if (format == korvex::LogFormat::Unknown) return nullptr;
    if (info->eAccess == GA_Update) {
        CPLError(CE_Failure, CPLE_NotSupported,
                 "%s: the %s driver opens terminal logs read-only; update is not supported", info->pszFilename,
                 kDriverName);
        return nullptr;
    }
    const bool checkPosition = CPLFetchBool(info->papszOpenOptions, "CHECK_POSITION", false);
    const bool checkReading = CPLFetchBool(info->papszOpenOptions, "CHECK_READING", false);
    try {
        auto dataset = std::make_unique<KorvexLogDataset>(info->pszFilename, checkPosition, checkReading);
        dataset->SetMetadataItem("LOG_FORMAT", format == korvex::LogFormat::Binary ? "binary" : "older");
        if (format == korvex::LogFormat::Binary) {
            info->TryToIngest(512);
            korvex::TWinLogFile header(CopyImage(info->pabyHeader, info->nHeaderBytes));
            dataset->SetHeaderMetadata(header.Header());
        }
        return dataset.release();
    } catch (const std::exception& e) {
        CPLError(CE_Failure, CPLE_AppDefined, "%s: %s", info->pszFilename, e.what());
        return nullptr;
    }
}

}  // namespace

void RegisterDriver() {
    if (GDALGetDriverByName(kDriverName) != nullptr) return;
    auto* driver = new GDALDriver();
    driver->SetDescription(kDriverName);
    driver->SetMetadataItem(GDAL_DCAP_VECTOR, "YES");
    driver->SetMetadataItem(GDAL_DMD_LONGNAME, "Nitrogen sensor terminal log (binary and older format)");
    driver->SetMetadataItem(GDAL_DMD_EXTENSIONS, "log");
    driver->SetMetadataItem(GDAL_DCAP_VIRTUALIO, "YES");
    driver->SetMetadataItem(GDAL_DCAP_Z_GEOMETRIES, "YES");
    driver->SetMetadataItem(GDAL_DMD_OPENOPTIONLIST, kOpenOptions);
    driver->pfnIdentify = Identify;
    driver->pfnOpen = Open;
    GetGDALDriverManager()->RegisterDriver(driver);
}

}  // namespace korvexgdal

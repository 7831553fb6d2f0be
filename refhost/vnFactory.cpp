#include "vnFactory.h"

#include "vnPrescriptionData.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cctype>
#include <cstring>
#include <ctime>
#include <string>

namespace refhost {

namespace {

constexpr int32_t kShapeFileCode = 9994;
constexpr int32_t kShapeVersion = 1000;
constexpr int32_t kPolygonType = 5;
constexpr size_t kShapeHeaderBytes = 100;
constexpr int kRateFieldWidth = 18;
constexpr int kRateDecimals = 6;
constexpr int kZoneFieldWidth = 10;

class Bytes {
public:
    void Big32(int32_t v) {
        for (int shift = 24; shift >= 0; shift -= 8)
            data_.push_back(static_cast<char>((static_cast<uint32_t>(v) >> shift) & 0xff));
    }
    void Little32(int32_t v) {
        for (int shift = 0; shift <= 24; shift += 8)
            data_.push_back(static_cast<char>((static_cast<uint32_t>(v) >> shift) & 0xff));
    }
    void Little16(uint16_t v) {
        data_.push_back(static_cast<char>(v & 0xff));
        data_.push_back(static_cast<char>(v >> 8));
    }
    void Double(double v) {
        char raw[8];
        std::memcpy(raw, &v, 8);  // the Windows targets are little-endian, as the format is
        data_.append(raw, 8);
    }
    void Byte(uint8_t v) { data_.push_back(static_cast<char>(v)); }
    void Text(const std::string& text, size_t width) {
        std::string cut = text.substr(0, width);
        data_ += cut;
        data_.append(width - cut.size(), '\0');
    }
    void Raw(const std::string& text) { data_ += text; }
    std::string& Data() { return data_; }

private:
    std::string data_;
};

struct Box {
    double xMin = 0, yMin = 0, xMax = 0, yMax = 0;
};

Box BoxOf(const std::vector<std::pair<double, double>>& ring) {
    Box box{ring[0].first, ring[0].second, ring[0].first, ring[0].second};
    for (const auto& p : ring) {
        box.xMin = std::min(box.xMin, p.first);
        box.xMax = std::max(box.xMax, p.first);
        box.yMin = std::min(box.yMin, p.second);
        box.yMax = std::max(box.yMax, p.second);
    }
    return box;
}

Box BoxOf(const std::vector<RateZone>& zones) {
    if (zones.empty()) return Box{};
    Box all = BoxOf(zones[0].ring);
    for (const RateZone& zone : zones) {
        Box b = BoxOf(zone.ring);
        all.xMin = std::min(all.xMin, b.xMin);
        all.yMin = std::min(all.yMin, b.yMin);
        all.xMax = std::max(all.xMax, b.xMax);
        all.yMax = std::max(all.yMax, b.yMax);
    }
    return all;
}

// Outer rings run clockwise in a shapefile, and each ring is closed.
std::vector<std::pair<double, double>> ClosedClockwise(std::vector<std::pair<double, double>> ring) {
    double twiceArea = 0;
    for (size_t i = 0, j = ring.size() - 1; i < ring.size(); j = i++)
        twiceArea += (ring[j].first * ring[i].second) - (ring[i].first * ring[j].second);
    if (twiceArea > 0) std::reverse(ring.begin(), ring.end());
    ring.push_back(ring.front());
    return ring;
}

void ShapeHeader(Bytes& out, int32_t lengthInWords, const Box& box) {
    out.Big32(kShapeFileCode);
    for (int i = 0; i < 5; ++i) out.Big32(0);
    out.Big32(lengthInWords);
    out.Little32(kShapeVersion);
    out.Little32(kPolygonType);
    out.Double(box.xMin);
    out.Double(box.yMin);
    out.Double(box.xMax);
    out.Double(box.yMax);
    for (int i = 0; i < 4; ++i) out.Double(0.0);  // z and m ranges
}

std::string PolygonContent(const RateZone& zone) {
    auto ring = ClosedClockwise(zone.ring);
    Box box = BoxOf(ring);
    Bytes content;
    content.Little32(kPolygonType);
    content.Double(box.xMin);
    content.Double(box.yMin);
    content.Double(box.xMax);
    content.Double(box.yMax);
    content.Little32(1);
    content.Little32(static_cast<int32_t>(ring.size()));
    content.Little32(0);
    for (const auto& p : ring) {
        content.Double(p.first);
        content.Double(p.second);
    }
    return content.Data();
}

// dBase column names: at most ten characters, letters, digits and underscores.
std::string ColumnName(const std::wstring& key, size_t index) {
    std::string name;
    for (wchar_t c : key)
        if (name.size() < 10)
            name += (c < 128 && (std::isalnum(static_cast<int>(c)) || c == L'_'))
                        ? static_cast<char>(std::toupper(static_cast<int>(c)))
                        : '_';
    if (name.empty() || std::isdigit(static_cast<unsigned char>(name[0]))) name = "RATE" + std::to_string(index + 1);
    return name;
}

std::string RightAligned(const std::string& text, int width) {
    if (static_cast<int>(text.size()) >= width) return text.substr(0, width);
    return std::string(width - text.size(), ' ') + text;
}

std::string DbfTable(const PrescriptionData& data) {
    const size_t columns = 1 + data.products.size();
    const uint16_t recordBytes = static_cast<uint16_t>(1 + kZoneFieldWidth + kRateFieldWidth * data.products.size());
    Bytes out;
    std::time_t now = std::time(nullptr);
    std::tm* date = std::gmtime(&now);
    out.Byte(0x03);
    out.Byte(static_cast<uint8_t>(date ? date->tm_year : 125));
    out.Byte(static_cast<uint8_t>(date ? date->tm_mon + 1 : 1));
    out.Byte(static_cast<uint8_t>(date ? date->tm_mday : 1));
    out.Little32(static_cast<int32_t>(data.zones.size()));
    out.Little16(static_cast<uint16_t>(32 + 32 * columns + 1));
    out.Little16(recordBytes);
    out.Text("", 20);
    auto column = [&](const std::string& name, int width, int decimals) {
        out.Text(name, 11);
        out.Byte('N');
        out.Text("", 4);
        out.Byte(static_cast<uint8_t>(width));
        out.Byte(static_cast<uint8_t>(decimals));
        out.Text("", 14);
    };
    column("ZONE", kZoneFieldWidth, 0);
    for (size_t i = 0; i < data.products.size(); ++i)
        column(ColumnName(data.products[i], i), kRateFieldWidth, kRateDecimals);
    out.Byte(0x0d);
    for (size_t z = 0; z < data.zones.size(); ++z) {
        out.Byte(' ');
        out.Raw(RightAligned(std::to_string(z + 1), kZoneFieldWidth));
        for (const std::wstring& product : data.products) {
            double rate = 0;
            for (const auto& r : data.zones[z].rates)
                if (r.first == product) rate = r.second;
            char number[64];
            std::snprintf(number, sizeof number, "%.*f", kRateDecimals, rate);
            out.Raw(RightAligned(number, kRateFieldWidth));
        }
    }
    out.Byte(0x1a);
    return out.Data();
}

bool WriteWhole(const std::wstring& path, const std::string& bytes) {
    FILE* file = _wfopen(path.c_str(), L"wb");
    if (!file) return false;
    bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    ok = std::fclose(file) == 0 && ok;
    return ok;
}

}  // namespace

HRESULT STDMETHODCALLTYPE CvnFactory::WriteShapeFile(BSTR path, IvnPrescription* prescription, VARIANT_BOOL* written) {
    HOST_CALL(IvnFactory, WriteShapeFile);
    if (!written) return E_POINTER;
    *written = VARIANT_FALSE;
    std::shared_ptr<const PrescriptionData> data = PrescriptionDataOf(prescription);
    std::wstring shpPath = TextOf(path);
    if (!data || shpPath.size() < 4) return E_INVALIDARG;
    const std::wstring stem = shpPath.substr(0, shpPath.size() - 4);

    Box all = BoxOf(data->zones);
    Bytes records, index;
    int32_t offsetWords = kShapeHeaderBytes / 2;
    int32_t number = 0;
    for (const RateZone& zone : data->zones) {
        std::string content = PolygonContent(zone);
        int32_t contentWords = static_cast<int32_t>(content.size() / 2);
        records.Big32(++number);
        records.Big32(contentWords);
        records.Raw(content);
        index.Big32(offsetWords);
        index.Big32(contentWords);
        offsetWords += 4 + contentWords;
    }
    Bytes shp, shx;
    ShapeHeader(shp, static_cast<int32_t>((kShapeHeaderBytes + records.Data().size()) / 2), all);
    shp.Raw(records.Data());
    ShapeHeader(shx, static_cast<int32_t>((kShapeHeaderBytes + index.Data().size()) / 2), all);
    shx.Raw(index.Data());

    bool ok = WriteWhole(shpPath, shp.Data());
    ok = WriteWhole(stem + L".shx", shx.Data()) && ok;
    ok = WriteWhole(stem + L".dbf", DbfTable(*data)) && ok;
    if (!ok) return E_FAIL;
    *written = VARIANT_TRUE;
    return S_OK;
}

}  // namespace refhost

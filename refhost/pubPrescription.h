// Prescriptions (application maps) of the reference host: rate zones, each a polygon with a
// rate per product, and the rate sets, rates and enumerators through which a driver reads
// them.
#pragma once
#include "HostObject.h"

#include <memory>
#include <utility>
#include <vector>

namespace refhost {

struct RateZone {
    std::vector<std::pair<double, double>> ring;          // polygon corners, not repeated at the end
    std::vector<std::pair<std::wstring, double>> rates;  // product key -> rate
};

struct PrescriptionData {
    std::wstring id;
    std::vector<std::wstring> products;  // product keys, in the order of the rate set
    std::vector<RateZone> zones;
    bool hasExtent = false;  // a grid extent of its own, else the zones' bounding box
    double extent[4] = {0, 0, 0, 0};  // x0, y0, x1, y1
    bool hasRateSet = true;
    bool foreignFirstItem = false;  // the rate set yields an item that is no rate first

    // The first zone holding (x, y), or null.
    const RateZone* ZoneAt(double x, double y) const;
};

// A rate of one product (in a prescription's rate set, or in one grid cell).
class PubRate : public HostObject<PubRate, IvnRate> {
public:
    static constexpr const char* kClassName = "pubRate";
    void Describe(Json& out) override { out = Json::object(); }
    PubRate(std::wstring productKey, double value) : productKey_(std::move(productKey)), value_(value) {}

    HRESULT STDMETHODCALLTYPE get_ProductKey(BSTR* key) override {
        HOST_CALL(IvnRate, get_ProductKey);
        return CopyOut(productKey_, key);
    }
    HRESULT STDMETHODCALLTYPE get_Value(double* value) override {
        HOST_CALL(IvnRate, get_Value);
        if (!value) return E_POINTER;
        *value = value_;
        return S_OK;
    }
    HOST_RESERVED(IvnRate, 4)
    HOST_RESERVED(IvnRate, 5)
    HOST_RESERVED(IvnRate, 6)
    HOST_RESERVED(IvnRate, 7)
    HOST_RESERVED(IvnRate, 8)
    HOST_RESERVED(IvnRate, 9)
    HOST_RESERVED(IvnRate, 10)
    HOST_RESERVED(IvnRate, 11)
    HOST_RESERVED(IvnRate, 12)
    HOST_RESERVED(IvnRate, 13)
    HOST_RESERVED(IvnRate, 14)
    HOST_RESERVED(IvnRate, 15)
    HOST_RESERVED(IvnRate, 16)

private:
    std::wstring productKey_;
    double value_;
};

// Yields VT_UNKNOWN items one at a time (or more); holds a reference to each item.
class PubEnum : public HostObject<PubEnum, IEnumVARIANT> {
public:
    static constexpr const char* kClassName = "pubEnum";
    void Describe(Json& out) override { out = Json::object(); }
    explicit PubEnum(std::vector<ComPtr<IUnknown>> items) : items_(std::move(items)) {}

    HRESULT STDMETHODCALLTYPE Next(ULONG count, VARIANT* items, ULONG* fetched) override;
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override;
    HRESULT STDMETHODCALLTYPE Reset() override;
    HRESULT STDMETHODCALLTYPE Clone(IEnumVARIANT** copy) override;

private:
    std::vector<ComPtr<IUnknown>> items_;
    size_t next_ = 0;
};

class PubRateSet : public HostObject<PubRateSet, IvnRateSet> {
public:
    static constexpr const char* kClassName = "pubRateSet";
    void Describe(Json& out) override { out = Json::object(); }
    PubRateSet(std::vector<std::pair<std::wstring, double>> rates, bool foreignFirstItem)
        : rates_(std::move(rates)), foreignFirstItem_(foreignFirstItem) {}

    HRESULT STDMETHODCALLTYPE get_Item(VARIANT productKey, IvnRate** rate) override;
    HRESULT STDMETHODCALLTYPE get__NewEnum(IEnumVARIANT** items) override;

private:
    std::vector<std::pair<std::wstring, double>> rates_;
    bool foreignFirstItem_;
};

class PubPrescription : public HostObject<PubPrescription, IvnPrescription> {
public:
    static constexpr const char* kClassName = "pubPrescription";
    explicit PubPrescription(std::shared_ptr<const PrescriptionData> data) : data_(std::move(data)) {}

    // {"id", "products": [key, ...] (else the keys met in the zones), "zones": [{"polygon":
    //  [[x, y], ...], "rates": {key: rate}}], "extent": [x0, y0, x1, y1], "rateSet": bool,
    //  "foreignFirstItem": bool}
    static std::shared_ptr<const PrescriptionData> FromJson(const Json& settings);

    HRESULT STDMETHODCALLTYPE get_RateSet(IvnRateSet** rates) override;
    HRESULT STDMETHODCALLTYPE get_Id(BSTR* id) override;
    HOST_RESERVED(IvnPrescription, 3)
    HOST_RESERVED(IvnPrescription, 4)
    HOST_RESERVED(IvnPrescription, 5)
    HOST_RESERVED(IvnPrescription, 6)
    HOST_RESERVED(IvnPrescription, 7)
    HOST_RESERVED(IvnPrescription, 8)
    HOST_RESERVED(IvnPrescription, 10)
    HOST_RESERVED(IvnPrescription, 11)
    HOST_RESERVED(IvnPrescription, 12)
    HOST_RESERVED(IvnPrescription, 13)
    HOST_RESERVED(IvnPrescription, 14)
    HOST_RESERVED(IvnPrescription, 15)
    HOST_RESERVED(IvnPrescription, 16)
    HOST_RESERVED(IvnPrescription, 17)
    HOST_RESERVED(IvnPrescription, 18)
    HOST_RESERVED(IvnPrescription, 19)
    HOST_RESERVED(IvnPrescription, 20)
    HOST_RESERVED(IvnPrescription, 21)
    HOST_RESERVED(IvnPrescription, 22)
    HOST_RESERVED(IvnPrescription, 23)
    HOST_RESERVED(IvnPrescription, 24)
    HOST_RESERVED(IvnPrescription, 25)
    HOST_RESERVED(IvnPrescription, 26)
    HOST_RESERVED(IvnPrescription, 27)
    HOST_RESERVED(IvnPrescription, 28)
    HOST_RESERVED(IvnPrescription, 29)
    HOST_RESERVED(IvnPrescription, 30)
    HOST_RESERVED(IvnPrescription, 31)

    void Describe(Json& out) override { out = Json{{"id", Utf8(data_->id)}, {"zones", data_->zones.size()}}; }
    const std::shared_ptr<const PrescriptionData>& Data() const { return data_; }

private:
    std::shared_ptr<const PrescriptionData> data_;
};

// The prescription data behind a prescription or a gridded surface of this host, or null.
std::shared_ptr<const PrescriptionData> PrescriptionDataOf(IUnknown* object);

// The rate set a prescription offers: every product once (its rate is 0: the rates live in
// the zones).
HRESULT GiveOutProductRateSet(const PrescriptionData& data, IvnRateSet** rates);

class PubPrescriptionList : public HostObject<PubPrescriptionList, IvnPrescriptionList> {
public:
    static constexpr const char* kClassName = "pubPrescriptionList";
    void Describe(Json& out) override {
        out = Json::array();
        for (const auto& prescription : prescriptions_) out.push_back(DescribeOf(static_cast<IvnPrescription*>(prescription.Get())));
    }

    HRESULT STDMETHODCALLTYPE get__NewEnum(IEnumVARIANT** items) override;
    HRESULT STDMETHODCALLTYPE get_Count(LONG* count) override;
    HOST_RESERVED(IvnPrescriptionList, 3)

    void Add(ComPtr<PubPrescription> prescription) { prescriptions_.push_back(std::move(prescription)); }

private:
    std::vector<ComPtr<PubPrescription>> prescriptions_;
};

}  // namespace refhost

// "VANDOR.vnRxSurface": a prescription gridded at a cell size. Cells are squares from the
// lower left corner of the zones' bounding box; a cell belongs to the first zone holding its
// centre, else it is blank. The walk goes row by row from the lowest y, each row from the
// lowest x. The extent is that of the cell centres, as a grid file states it.
#pragma once
#include "HostObject.h"
#include "pubPrescription.h"

namespace refhost {

class PubExtent : public HostObject<PubExtent, IvnExtent> {
public:
    static constexpr const char* kClassName = "pubExtent";
    void Describe(Json& out) override { out = Json::object(); }
    PubExtent(double xMin, double xMax, double yMin, double yMax) : xMin_(xMin), xMax_(xMax), yMin_(yMin), yMax_(yMax) {}

    HRESULT STDMETHODCALLTYPE get_YMin(double* y) override { return Give("get_YMin", yMin_, y); }
    HRESULT STDMETHODCALLTYPE get_YMax(double* y) override { return Give("get_YMax", yMax_, y); }
    HRESULT STDMETHODCALLTYPE get_XMin(double* x) override { return Give("get_XMin", xMin_, x); }
    HRESULT STDMETHODCALLTYPE get_XMax(double* x) override { return Give("get_XMax", xMax_, x); }
    HRESULT STDMETHODCALLTYPE Slot12(LONG) override { return Give("Slot12", 0, nullptr); }
    HRESULT STDMETHODCALLTYPE put_TimeZoneHours(double) override { return Give("put_TimeZoneHours", 0, nullptr); }
    HOST_RESERVED(IvnExtent, 3)
    HOST_RESERVED(IvnExtent, 8)
    HOST_RESERVED(IvnExtent, 9)
    HOST_RESERVED(IvnExtent, 10)
    HOST_RESERVED(IvnExtent, 11)
    HOST_RESERVED(IvnExtent, 13)
    HOST_RESERVED(IvnExtent, 14)
    HOST_RESERVED(IvnExtent, 15)
    HOST_RESERVED(IvnExtent, 16)
    HOST_RESERVED(IvnExtent, 17)
    HOST_RESERVED(IvnExtent, 18)
    HOST_RESERVED(IvnExtent, 19)
    HOST_RESERVED(IvnExtent, 20)
    HOST_RESERVED(IvnExtent, 21)
    HOST_RESERVED(IvnExtent, 22)

private:
    HRESULT Give(const char* method, double value, double* out) {
        HRESULT injected = EnterCall((std::string("IvnExtent.") + method).c_str(), __uuidof(IvnExtent));
        if (FAILED(injected)) return injected;
        if (!out) return E_POINTER;
        *out = value;
        return S_OK;
    }
    double xMin_, xMax_, yMin_, yMax_;
};

class PubRxSurface : public HostObject<PubRxSurface, IvnRxSurface, IvnPrescription> {
public:
    static constexpr const char* kClassName = "pubRxSurface";

    // IvnRxSurface
    HRESULT STDMETHODCALLTYPE Build(IvnPrescription* prescription, IkelMeasure* cellSize, VARIANT_BOOL* built) override;
    HRESULT STDMETHODCALLTYPE get_Columns(LONG* nx) override;
    HRESULT STDMETHODCALLTYPE get_Rows(LONG* ny) override;
    HRESULT STDMETHODCALLTYPE get_Extent(IvnExtent** extent) override;
    HRESULT STDMETHODCALLTYPE MoveFirst(VARIANT_BOOL* found) override;
    HRESULT STDMETHODCALLTYPE MoveNext(VARIANT_BOOL* found) override;
    HRESULT STDMETHODCALLTYPE get_CellRates(IvnRateSet** rates) override;
    HRESULT STDMETHODCALLTYPE get_IsBlank(VARIANT_BOOL* blank) override;
    // IvnPrescription: the prescription it was built from.
    HRESULT STDMETHODCALLTYPE get_RateSet(IvnRateSet** rates) override;
    HRESULT STDMETHODCALLTYPE get_Id(BSTR* id) override;
    // Slots of both interfaces that nothing calls.
    HOST_RESERVED(IvnRxSurface, 3)
    HOST_RESERVED(IvnRxSurface, 4)
    HOST_RESERVED(IvnRxSurface, 5)
    HOST_RESERVED(IvnRxSurface, 6)
    HOST_RESERVED(IvnRxSurface, 7)
    HOST_RESERVED(IvnRxSurface, 8)
    HOST_RESERVED(IvnRxSurface, 10)
    HOST_RESERVED(IvnRxSurface, 11)
    HOST_RESERVED(IvnRxSurface, 15)
    HOST_RESERVED(IvnRxSurface, 16)
    HOST_RESERVED(IvnRxSurface, 19)
    HOST_RESERVED(IvnRxSurface, 20)
    HOST_RESERVED(IvnRxSurface, 21)
    HOST_RESERVED(IvnRxSurface, 22)
    HOST_RESERVED(IvnRxSurface, 23)
    HOST_RESERVED(IvnRxSurface, 24)
    HOST_RESERVED(IvnRxSurface, 25)
    HOST_RESERVED(IvnRxSurface, 26)
    HOST_RESERVED(IvnRxSurface, 27)
    HOST_RESERVED(IvnRxSurface, 28)
    HOST_RESERVED(IvnRxSurface, 29)
    HOST_RESERVED(IvnRxSurface, 30)
    HOST_RESERVED(IvnRxSurface, 31)
    HOST_RESERVED(IvnRxSurface, 32)
    HOST_RESERVED(IvnRxSurface, 33)
    HOST_RESERVED(IvnRxSurface, 34)
    HOST_RESERVED(IvnRxSurface, 35)
    HOST_RESERVED(IvnRxSurface, 36)
    HOST_RESERVED(IvnRxSurface, 37)
    HOST_RESERVED(IvnRxSurface, 39)
    HOST_RESERVED(IvnRxSurface, 40)
    HOST_RESERVED(IvnRxSurface, 41)
    HOST_RESERVED(IvnRxSurface, 42)
    HOST_RESERVED(IvnRxSurface, 43)
    HOST_RESERVED(IvnRxSurface, 44)
    HOST_RESERVED(IvnPrescription, 12)
    HOST_RESERVED(IvnPrescription, 13)
    HOST_RESERVED(IvnPrescription, 14)
    HOST_RESERVED(IvnPrescription, 17)
    HOST_RESERVED(IvnPrescription, 18)

    void Describe(Json& out) override { out = Json{{"nx", nx_}, {"ny", ny_}, {"cell", cell_}}; }
    const std::shared_ptr<const PrescriptionData>& Data() const { return data_; }
    double CellSize() const { return cell_; }

private:
    bool HasCell() const { return data_ && cellIndex_ < static_cast<long long>(nx_) * ny_; }
    const RateZone* CurrentZone() const;

    std::shared_ptr<const PrescriptionData> data_;
    double cell_ = 0.0;
    double x0_ = 0.0, y0_ = 0.0;  // lower left corner of the grid
    LONG nx_ = 0, ny_ = 0;
    long long cellIndex_ = -1;
};

HRESULT CreatePubRxSurface(REFIID riid, void** out);

}  // namespace refhost

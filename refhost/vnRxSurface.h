// "VANDOR.vnRxSurface": a prescription gridded at a cell size. Cells are squares from the
// lower left corner of the zones' bounding box; a cell belongs to the first zone holding its
// centre, else it is blank. The walk goes row by row from the lowest y, each row from the
// lowest x. The extent is that of the cell centres, as a grid file states it.
#pragma once
#include "frame/HostObject.h"
#include "vnPrescriptionData.h"

namespace refhost {

class CvnRxSurface : public HostObject<CvnRxSurface, IvnRxSurface, IvnPrescription> {
public:
    static constexpr const char* kClassName = "vnRxSurface";

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

}  // namespace refhost

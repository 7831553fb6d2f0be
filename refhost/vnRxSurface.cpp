#include "vnRxSurface.h"

#include "kelMeasure.h"
#include "vnExtent.h"
#include "vnRateSet.h"

#include <algorithm>
#include <cmath>

namespace refhost {

namespace {

constexpr LONG kMetres = 33;

// Cells needed to cover `length`; a tiny excess from rounding adds no cell.
LONG CellsFor(double length, double cell) {
    double cells = std::ceil(length / cell - 1e-9);
    return static_cast<LONG>(std::max(1.0, cells));
}

}  // namespace

HRESULT STDMETHODCALLTYPE CvnRxSurface::Build(IvnPrescription* prescription, IkelMeasure* cellSize,
                                              VARIANT_BOOL* built) {
    HOST_CALL(IvnRxSurface, Build);
    if (!built) return E_POINTER;
    *built = VARIANT_FALSE;
    std::shared_ptr<const PrescriptionData> data = PrescriptionDataOf(prescription);
    CkelMeasure* measure = Own<CkelMeasure>(cellSize);
    if (!data || !measure) return E_INVALIDARG;
    double cell = 0.0;
    if (!ConvertUnits(measure->Value(), measure->UnitOf(), Unit{kMetres, 0}, cell) || !(cell > 0)) return E_INVALIDARG;

    data_ = data;
    cell_ = cell;
    cellIndex_ = -1;
    nx_ = ny_ = 0;
    double xMin = HUGE_VAL, yMin = HUGE_VAL, xMax = -HUGE_VAL, yMax = -HUGE_VAL;
    for (const RateZone& zone : data_->zones)
        for (const auto& corner : zone.ring) {
            xMin = std::min(xMin, corner.first);
            xMax = std::max(xMax, corner.first);
            yMin = std::min(yMin, corner.second);
            yMax = std::max(yMax, corner.second);
        }
    if (data_->hasExtent) {
        xMin = data_->extent[0];
        yMin = data_->extent[1];
        xMax = data_->extent[2];
        yMax = data_->extent[3];
    } else if (data_->zones.empty()) {
        return S_OK;
    }
    x0_ = xMin;
    y0_ = yMin;
    nx_ = CellsFor(xMax - xMin, cell);
    ny_ = CellsFor(yMax - yMin, cell);
    *built = VARIANT_TRUE;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CvnRxSurface::get_Columns(LONG* nx) {
    HOST_CALL(IvnRxSurface, get_Columns);
    if (!nx) return E_POINTER;
    *nx = nx_;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CvnRxSurface::get_Rows(LONG* ny) {
    HOST_CALL(IvnRxSurface, get_Rows);
    if (!ny) return E_POINTER;
    *ny = ny_;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CvnRxSurface::get_Extent(IvnExtent** extent) {
    HOST_CALL(IvnRxSurface, get_Extent);
    double half = cell_ / 2;
    return GiveOut(CvnExtent::Make(x0_ + half, x0_ + (nx_ - 0.5) * cell_, y0_ + half, y0_ + (ny_ - 0.5) * cell_),
                   extent);
}

HRESULT STDMETHODCALLTYPE CvnRxSurface::MoveFirst(VARIANT_BOOL* found) {
    HOST_CALL(IvnRxSurface, MoveFirst);
    if (!found) return E_POINTER;
    cellIndex_ = 0;
    *found = HasCell() ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CvnRxSurface::MoveNext(VARIANT_BOOL* found) {
    HOST_CALL(IvnRxSurface, MoveNext);
    if (!found) return E_POINTER;
    if (HasCell()) ++cellIndex_;
    *found = HasCell() ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

const RateZone* CvnRxSurface::CurrentZone() const {
    LONG column = static_cast<LONG>(cellIndex_ % nx_);
    LONG row = static_cast<LONG>(cellIndex_ / nx_);
    return data_->ZoneAt(x0_ + (column + 0.5) * cell_, y0_ + (row + 0.5) * cell_);
}

// A blank cell still carries every product (at rate 0), flagged blank.
HRESULT STDMETHODCALLTYPE CvnRxSurface::get_CellRates(IvnRateSet** rates) {
    HOST_CALL(IvnRxSurface, get_CellRates);
    if (!rates) return E_POINTER;
    *rates = nullptr;
    if (!HasCell()) return S_OK;
    if (const RateZone* zone = CurrentZone()) return GiveOut(CvnRateSet::Make(zone->rates, false), rates);
    std::vector<std::pair<std::wstring, double>> zeros;
    for (const std::wstring& key : data_->products) zeros.emplace_back(key, 0.0);
    return GiveOut(CvnRateSet::Make(std::move(zeros), false), rates);
}

HRESULT STDMETHODCALLTYPE CvnRxSurface::get_IsBlank(VARIANT_BOOL* blank) {
    HOST_CALL(IvnRxSurface, get_IsBlank);
    if (!blank) return E_POINTER;
    *blank = HasCell() && CurrentZone() ? VARIANT_FALSE : VARIANT_TRUE;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CvnRxSurface::get_RateSet(IvnRateSet** rates) {
    HOST_CALL(IvnPrescription, get_RateSet);
    if (!data_) return GiveOut(ComPtr<IvnRateSet>(), rates);
    return GiveOutProductRateSet(*data_, rates);
}

HRESULT STDMETHODCALLTYPE CvnRxSurface::get_Id(BSTR* id) {
    HOST_CALL(IvnPrescription, get_Id);
    return CopyOut(data_ ? data_->id : std::wstring(), id);
}

}  // namespace refhost

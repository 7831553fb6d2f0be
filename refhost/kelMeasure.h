// A measure of the units engine: a value in a unit. As a quantity it hands on its value as
// a VT_R8. A measure keeps its value itself, or in a home that another object stores (the
// value slots of a logged point keep theirs in their operation's value store).
#pragma once
#include "frame/HostObject.h"
#include "frame/Units.h"

#include <memory>

namespace refhost {

struct StoredMeasure {
    Unit unit;
    double value = 0;
};
Json Described(const StoredMeasure& measure);

class CkelMeasure : public HostObject<CkelMeasure, IkelMeasure, IkelQuantity> {
public:
    static constexpr const char* kClassName = "kelMeasure";

    CkelMeasure(Unit unit, double value) : own_{unit, value} {}
    // A measure whose value lives in `home`, which `keeper` keeps alive.
    CkelMeasure(StoredMeasure* home, std::shared_ptr<void> keeper) : home_(home), keeper_(std::move(keeper)) {}

    // Slots that neither interface uses; IkelMeasure and IkelQuantity share them by name.
    HOST_RESERVED(IkelQuantity, 3)
    HOST_RESERVED(IkelQuantity, 4)
    HOST_RESERVED(IkelQuantity, 5)
    HOST_RESERVED(IkelQuantity, 6)
    HOST_RESERVED(IkelQuantity, 7)
    HOST_RESERVED(IkelQuantity, 8)
    HOST_RESERVED(IkelQuantity, 9)
    HOST_RESERVED(IkelQuantity, 10)
    HOST_RESERVED(IkelQuantity, 11)
    HOST_RESERVED(IkelQuantity, 12)
    HOST_RESERVED(IkelQuantity, 13)
    HOST_RESERVED(IkelQuantity, 14)
    HOST_RESERVED(IkelQuantity, 15)
    HOST_RESERVED(IkelQuantity, 16)
    HOST_RESERVED(IkelQuantity, 17)
    HOST_RESERVED(IkelQuantity, 18)
    HOST_RESERVED(IkelQuantity, 19)

    // IkelMeasure
    HRESULT STDMETHODCALLTYPE put_UnitCode(LONG code) override;
    HRESULT STDMETHODCALLTYPE get_Value(double* value) override;
    HRESULT STDMETHODCALLTYPE put_Value(double value) override;
    HRESULT STDMETHODCALLTYPE SetValue(double value, LONG code, LONG perCode) override;
    // Fails with E_INVALIDARG when the units are of different kinds.
    HRESULT STDMETHODCALLTYPE ConvertTo(IkelMeasure* measure, LONG code, IkelMeasure** converted) override;
    // IkelQuantity
    HRESULT STDMETHODCALLTYPE get_Value(VARIANT* value) override;

    void Describe(Json& out) override;
    const Unit& UnitOf() const { return home_->unit; }
    double Value() const { return home_->value; }
    // Moves a stored measure to another home of the same keeper.
    void Rehome(StoredMeasure* home) { home_ = home; }

private:
    StoredMeasure own_;
    StoredMeasure* home_ = &own_;
    std::shared_ptr<void> keeper_;
};

}  // namespace refhost

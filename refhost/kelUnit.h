// A unit of the units engine (IkelUOMFactory slot 5), also the units context (slot 9). As a
// quantity it hands on its symbol ("kg/ha") as a VT_BSTR.
#pragma once
#include "frame/HostObject.h"
#include "frame/Units.h"

namespace refhost {

class CkelUnit : public HostObject<CkelUnit, IkelQuantity> {
public:
    static constexpr const char* kClassName = "kelUnit";

    explicit CkelUnit(Unit unit) : unit_(unit) {}

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
    HRESULT STDMETHODCALLTYPE get_Value(VARIANT* value) override;

    void Describe(Json& out) override;
    const Unit& Value() const { return unit_; }

private:
    Unit unit_;
};

}  // namespace refhost

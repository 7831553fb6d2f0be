// A data column of the device model: the key of a value slot in every logged point.
#pragma once
#include "frame/KeyedRecord.h"
#include "frame/Units.h"

namespace refhost {

class CvnDataColumn : public KeyedRecord<CvnDataColumn, IvnDataColumn> {
public:
    static constexpr const char* kClassName = "vnDataColumn";
    static constexpr const char* kInterfaceName = "IvnDataColumn";

    CvnDataColumn(std::wstring key, Unit unit, Json details)
        : KeyedRecord(std::move(key), std::move(details)), unit_(unit) {}

    void Describe(Json& out) override {
        KeyedRecord::Describe(out);
        out["unit"] = SymbolOf(unit_);
    }
    const Unit& UnitOf() const { return unit_; }

private:
    Unit unit_;
};

}  // namespace refhost

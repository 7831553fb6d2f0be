#include "Units.h"

#include <cstring>

namespace refhost {
namespace {

struct UnitRow {
    long code;
    const char* symbol;
    const char* kind;
    double factor;  // to the kind's base unit
};

const UnitRow kUnits[] = {
    {0, "", "none", 1.0},
    {22, "l", "volume", 1.0},
    {23, "m3", "volume", 1000.0},
    {31, "%", "ratio", 1.0},
    {33, "m", "length", 1.0},
    {34, "ft", "length", 0.3048},
    {35, "km", "length", 1000.0},
    {36, "kg", "mass", 1.0},
    {37, "t", "mass", 1000.0},
    {38, "lb", "mass", 0.45359237},
    {65, "m2", "area", 1.0},
    {66, "ha", "area", 10000.0},
    {67, "ac", "area", 4046.8564224},
    {277, "deg", "angle", 1.0},
};

const UnitRow* Find(long code) {
    for (const UnitRow& row : kUnits)
        if (row.code == code) return &row;
    return nullptr;
}

std::string SymbolOfCode(long code) {
    const UnitRow* row = Find(code);
    return row ? row->symbol : "#" + std::to_string(code);
}

// Factor of `from` over `to`, when both codes are of one kind.
bool Ratio(long from, long to, double& ratio) {
    if (from == to) {
        ratio = 1.0;
        return true;
    }
    const UnitRow* a = Find(from);
    const UnitRow* b = Find(to);
    if (!a || !b || std::strcmp(a->kind, b->kind) != 0) return false;
    ratio = a->factor / b->factor;
    return true;
}

}  // namespace

std::string SymbolOf(const Unit& unit) {
    if (unit.perCode == 0) return SymbolOfCode(unit.code);
    return SymbolOfCode(unit.code) + "/" + SymbolOfCode(unit.perCode);
}

bool ConvertUnits(double value, const Unit& from, const Unit& to, double& result) {
    double top = 1.0, bottom = 1.0;
    if (!Ratio(from.code, to.code, top)) return false;
    if ((from.perCode == 0) != (to.perCode == 0)) return false;
    if (from.perCode != 0 && !Ratio(from.perCode, to.perCode, bottom)) return false;
    result = value * top / bottom;
    return true;
}

}  // namespace refhost

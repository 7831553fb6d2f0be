// The reference host's units: a small table of unit codes, their symbols and conversions.
// A unit is a code, or a ratio of two codes (36 per 66: kilogram per hectare); 0 is "no
// unit". Codes of one kind convert through a factor to that kind's base unit:
//
//   kind     codes (symbol, factor)
//   volume   22 l 1, 23 m3 1000
//   ratio    31 % 1
//   length   33 m 1, 34 ft 0.3048, 35 km 1000
//   mass     36 kg 1, 37 t 1000, 38 lb 0.45359237
//   area     65 m2 1, 66 ha 10000, 67 ac 4046.8564224
//   angle    277 deg 1
//
// Any other code is a kind of its own with symbol "#<code>" and converts only to itself.
#pragma once
#include <string>

namespace refhost {

struct Unit {
    long code = 0;
    long perCode = 0;  // 0: not a ratio
};

std::string SymbolOf(const Unit& unit);
// Converts value from one unit to another; false when the two are of different kinds.
bool ConvertUnits(double value, const Unit& from, const Unit& to, double& result);

}  // namespace refhost

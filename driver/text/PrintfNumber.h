// Numbers as the C library's printf writes them, with "." whatever the locale: the terminal's
// text files and grids are written this way. Not korvex's rule (korvex/NumberFormat.h rounds
// half away from zero on the 18-digit decimal form); these round the exact binary value half
// to even, as printf does.
#pragma once
#include <cstdint>
#include <string>

namespace nivra {

// printf's "%.<decimals>f" (and "%.<decimals>lf"): fixed notation; `decimals` from 0 to 17.
void AppendPrintfFixed(std::string& out, double value, int decimals);

// printf's "%d".
void AppendPrintfDecimal(std::string& out, std::int32_t value);

}  // namespace nivra

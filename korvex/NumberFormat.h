// Fixed-notation number formatting of the log CSV ("%w.pf" and "%d").
//
// The terminal's own converter rounds half away from zero on the value's 18-significant-digit
// decimal form, never prints "-0" and never uses an exponent: digits past the 18th print as
// zeros. printf rounds the exact binary value instead, so it is not used.
#pragma once
#include <cstdint>
#include <string>

namespace korvex {

// Appends v as "%<width>.<precision>f" with the rules above; precision 0..17.
void AppendFixed(std::string& out, double v, int width, int precision);

// The reference path of AppendFixed: always goes through the 18-digit decimal form.
void AppendFixedExact(std::string& out, double v, int width, int precision);

// Appends a signed decimal integer ("%d").
void AppendInt(std::string& out, std::int64_t v);

}  // namespace korvex

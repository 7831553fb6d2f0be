// Fixed-notation number formatting of the log CSV ("%w.pf" and "%d").
//
// The terminal's own converter rounds half away from zero on the value's 18-significant-digit
// decimal form, never prints "-0" and never uses an exponent: digits past the 18th print as
// zeros. printf rounds the exact binary value instead, so it is not used.
#pragma once
#include <cstdint>
#include <string>

namespace korvex {

// Room that one formatted number may need beyond its width: the largest double has 309
// integer digits, and at most 17 decimals are asked for.
constexpr int kMaxFixedLength = 340;

// Writes v as "%<width>.<precision>f" with the rules above (precision 0..17) at `out`, which
// must have room for width + kMaxFixedLength characters; returns the end of the text.
char* FormatFixed(char* out, double v, int width, int precision);

// Writes the decimal number units x 10^-precision exactly, as "%<width>.<precision>f" would
// (precision 0..17): the digits of units with the point inserted, zero-filled, never "-0".
// A value held as an integer count of 10^-precision (a coordinate in 10^-7 degrees) prints this
// way without going through a double at all.
char* FormatDecimal(char* out, std::int64_t units, int width, int precision);

// FormatFixed's reference path: always goes through the 18-digit decimal form. The same room
// at `out` as FormatFixed.
char* FormatFixedExact(char* out, double v, int width, int precision);

// Writes a signed decimal integer ("%d") at `out` (room for 20 characters); returns its end.
char* FormatInt(char* out, std::int64_t v);

// The same, appended to a string.
void AppendFixed(std::string& out, double v, int width, int precision);

// The reference path of AppendFixed: always goes through the 18-digit decimal form.
void AppendFixedExact(std::string& out, double v, int width, int precision);

// Appends a signed decimal integer ("%d").
void AppendInt(std::string& out, std::int64_t v);

}  // namespace korvex

// Number text conversions: the only road between numbers and text in the
// driver. Every function is pure, allocates nothing, performs no
// floating-point arithmetic (values are built from and taken apart into
// their bits), so results depend on the input alone and no floating-point
// exception can be raised, whatever the caller's x87 or SSE state.
#pragma once
#include <cstddef>
#include <cstdint>

namespace numtext {

struct parsed_number {
    double value;       // the number, or the digits read so far on error
    int32_t error_pos;  // 0 on success, else 1-based position (end = length + 1)
};

// Reads text[0..length) (a NUL ends it early). A null text reads as empty.
parsed_number parse_number(const char* text, std::size_t length);
// Same, for a NUL-terminated text (null reads as empty).
parsed_number parse_number(const char* text);

constexpr std::size_t number_text_length = 23;
// Writes exactly 23 characters (no NUL) to out.
void format_number(double value, char* out);

constexpr std::size_t integer_text_max = 11;
// Writes plain decimal to out (no NUL); returns the number of characters.
std::size_t format_integer(int32_t value, char* out);

// Nearest integer, halves to even; NaN, infinities and values outside the
// 32-bit range after rounding give INT32_MIN.
int32_t round_to_int(double value);
// round_to_int of the exact product value * factor (factor up to 2^11),
// as the x87 unit forms it in its 64-bit mantissa without rounding.
int32_t round_to_int_scaled(double value, uint32_t factor);

// Nearest single-precision value (ties to even); beyond the single range an
// infinity of the value's sign; NaN stays NaN.
float to_single(double value);
// Exact widening of a single to a double (a signalling NaN stays a NaN,
// quietened, without raising anything).
double to_double(float value);

}  // namespace numtext

// How a value is taken from an instrument reply line.
#pragma once
#include <cstddef>
#include <cstdint>

namespace channels {

// Analog inputs of the instrument.
enum : int32_t { WAVELENGTH = 0, ABSORBANCE = 1, TRANSMISSION = 2 };

// The marker for a value that cannot be obtained.
constexpr int32_t NO_VALUE = -777;

// Keeps, in order, only "+" and the characters "-" to "9" ("-", ".", "/"
// and the digits); returns the new length.
std::size_t keep_numeric(char* text, std::size_t length);

// The value of channel's field in a reply line, or NO_VALUE when that field
// is not a number. Unknown channels read the whole line.
double field_value(int32_t channel, const uint8_t* line, std::size_t length);

}  // namespace channels

// Decimal digits times a power of ten to the nearest double.
#pragma once
#include <cstddef>
#include <cstdint>

namespace numtext::detail {

// Two runs of decimal digits read as one integer (the integer and the
// fraction digits of a number text, without the point between them).
struct digit_runs {
    const char* first;
    std::size_t first_count;
    const char* second;
    std::size_t second_count;
    uint64_t low_value;  // that integer modulo 2^64, as a reader accumulates it
};

// The bits of the non-negative double nearest to digits * 10^exponent, ties
// to even: infinity beyond the largest double, zero below half the least.
// Any number of digits, any exponent.
uint64_t decimal_to_double_bits(const digit_runs& digits, int64_t exponent);

}  // namespace numtext::detail

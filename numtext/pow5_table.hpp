// Powers of five to 128 bits, the scale factors between decimal and binary
// exponents.
#pragma once
#include <array>
#include <cstdint>

namespace numtext::detail {

// Reading 19 digits whose value can still be a finite non-zero double
// takes 5^-342 to 5^308; writing 18 digits of any double, 5^-292 to 5^341.
constexpr int pow5_min = -342;
constexpr int pow5_max = 341;

// T with 2^127 <= T < 2^128 and 5^q in [T, T + 1) * 2^pow5_exponent(q):
// the leading 128 bits of 5^q, truncated.
struct pow5_128 {
    uint64_t hi, lo;
};
extern const std::array<pow5_128, pow5_max - pow5_min + 1> pow5_table;

inline const pow5_128& pow5(int q) { return pow5_table[q - pow5_min]; }

// 5^q has at most 128 bits for these, so T is 5^q itself.
constexpr bool pow5_exact(int q) { return q >= 0 && q <= 55; }

// floor(log2(5^q)) - 127; 1217359 / 2^19 approximates log2(5) closely
// enough for |q| < 3529 (checked against the table where it is built).
constexpr int pow5_exponent(int q) {
    const int floor_log2 = q >= 0 ? (q * 1217359) >> 19 : -(((-q) * 1217359) >> 19) - 1;
    return floor_log2 - 127;
}

}  // namespace numtext::detail

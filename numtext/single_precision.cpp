// Narrowing to and widening from single precision, on the bits.
#include "numtext/bits.hpp"
#include "numtext/numtext.hpp"

namespace numtext {

using namespace detail;

namespace {
constexpr uint32_t single_sign = 0x80000000u;
constexpr uint32_t single_infinity = 0x7F800000u;
constexpr uint32_t single_quiet = 0x00400000u;
constexpr uint32_t single_fraction_mask = 0x007FFFFFu;
constexpr int payload_shift = 52 - 23;  // fraction bits a single lacks
}  // namespace

float to_single(double value) {
    const uint64_t bits = bits_of(value);
    const uint32_t sign = static_cast<uint32_t>(bits >> 32) & single_sign;
    const uint64_t magnitude = bits & ~double_sign;
    if (magnitude > double_infinity)  // the payload's leading bits, quiet
        return float_from_bits(sign | single_infinity | single_quiet |
                               static_cast<uint32_t>((magnitude & double_fraction_mask) >> payload_shift));
    if (magnitude == double_infinity) return float_from_bits(sign | single_infinity);
    if (magnitude == 0) return float_from_bits(sign);

    const binary_value v = decode(magnitude);
    const int top = v.exponent + bit_length(v.mantissa) - 1;  // floor(log2 value)
    if (top > 127) return float_from_bits(sign | single_infinity);
    // Singles keep 24 bits; below 2^-126 the grid is 2^-149.
    const bool normal = top >= -126;
    const int grid = normal ? top - 23 : -149;
    const int shift = grid - v.exponent;                 // at least 29
    if (shift > 53) return float_from_bits(sign);        // below half the least single
    const uint64_t floor = v.mantissa >> shift;
    const uint64_t rest = v.mantissa & ((uint64_t(1) << shift) - 1);
    const uint64_t half = uint64_t(1) << (shift - 1);
    const bool up = rest > half || (rest == half && (floor & 1));
    // For a normal single the mantissa's leading bit adds one to the field;
    // rounding up may carry into the next binade or to infinity.
    const uint32_t field = normal ? static_cast<uint32_t>(top + 126) << 23 : 0;
    return float_from_bits(sign | (field + static_cast<uint32_t>(floor) + up));
}

double to_double(float value) {
    const uint32_t bits = bits_of(value);
    const uint64_t sign = static_cast<uint64_t>(bits & single_sign) << 32;
    const uint32_t magnitude = bits & ~single_sign;
    if (magnitude > single_infinity)  // quiet, whatever it was
        return double_from_bits(sign | double_infinity | (uint64_t(1) << 51) |
                                (static_cast<uint64_t>(magnitude & single_fraction_mask) << payload_shift));
    if (magnitude == single_infinity) return double_from_bits(sign | double_infinity);
    if (magnitude == 0) return double_from_bits(sign);

    const uint32_t field = magnitude >> 23, fraction = magnitude & single_fraction_mask;
    const uint64_t m = field ? fraction | (single_fraction_mask + 1) : fraction;
    const int length = bit_length(m);
    const int top = (field ? static_cast<int>(field) - 150 : -149) + length - 1;
    return double_from_bits(sign | ((static_cast<uint64_t>(top + 1022) << 52) + (m << (53 - length))));
}

}  // namespace numtext

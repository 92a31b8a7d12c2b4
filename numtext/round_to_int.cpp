// Floating values to 32-bit integers, nearest with halves to even, on the
// exact binary value.
#include <climits>

#include "numtext/bits.hpp"
#include "numtext/numtext.hpp"

namespace numtext {
namespace {

using namespace detail;

// The value has no 32-bit integer.
constexpr int32_t out_of_range = INT32_MIN;

// p * 2^exponent rounded, with the sign applied; p != 0.
int32_t round_product(bool negative, u128 p, int exponent) {
    // Bring p below 2^64, remembering whether non-zero bits were dropped.
    uint64_t m = p.lo;
    bool dropped = false;
    if (p.hi != 0) {
        const int k = bit_length(p.hi);
        dropped = (p.lo << (64 - k)) != 0;
        m = (p.lo >> k) | (p.hi << (64 - k));
        exponent += k;
    }
    uint64_t magnitude;
    if (exponent >= 0) {
        if (bit_length(m) + exponent > 32) return out_of_range;  // at least 2^32
        magnitude = m << exponent;
    } else if (exponent < -64) {
        return 0;  // below one half
    } else {
        const int shift = -exponent;
        const uint64_t floor = shift == 64 ? 0 : m >> shift;
        const uint64_t rest = shift == 64 ? m : m & ((uint64_t(1) << shift) - 1);
        const uint64_t half = uint64_t(1) << (shift - 1);
        magnitude = floor + (rest > half || (rest == half && (dropped || (floor & 1))));
    }
    const uint64_t limit = negative ? uint64_t(1) << 31 : (uint64_t(1) << 31) - 1;
    if (magnitude > limit) return out_of_range;
    return negative ? static_cast<int32_t>(0u - static_cast<uint32_t>(magnitude))
                    : static_cast<int32_t>(magnitude);
}

}  // namespace

int32_t round_to_int_scaled(double value, uint32_t factor) {
    const uint64_t bits = bits_of(value);
    const uint64_t magnitude = bits & ~double_sign;
    if (magnitude >= double_infinity) return out_of_range;
    if (magnitude == 0 || factor == 0) return 0;
    const binary_value v = decode(magnitude);
    return round_product(bits >> 63, multiply(v.mantissa, factor), v.exponent);
}

int32_t round_to_int(double value) { return round_to_int_scaled(value, 1); }

}  // namespace numtext

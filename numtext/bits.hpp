// Floating values as bit patterns, and the wide integer products the
// conversions are built on. Nothing here touches a floating-point register
// beyond moving bytes.
#pragma once
#include <cstdint>
#include <cstring>

namespace numtext::detail {

inline uint64_t bits_of(double value) {
    uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}
inline double double_from_bits(uint64_t bits) {
    double value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}
inline uint32_t bits_of(float value) {
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}
inline float float_from_bits(uint32_t bits) {
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

constexpr uint64_t double_sign = uint64_t(1) << 63;
constexpr uint64_t double_infinity = uint64_t(0x7FF) << 52;
constexpr uint64_t double_hidden_bit = uint64_t(1) << 52;
constexpr uint64_t double_fraction_mask = double_hidden_bit - 1;

// A finite, non-zero magnitude as mantissa * 2^exponent (mantissa < 2^53).
struct binary_value {
    uint64_t mantissa;
    int exponent;
};
inline binary_value decode(uint64_t magnitude_bits) {
    const int field = static_cast<int>(magnitude_bits >> 52);
    const uint64_t fraction = magnitude_bits & double_fraction_mask;
    if (field == 0) return {fraction, -1074};
    return {fraction | double_hidden_bit, field - 1075};
}

inline int leading_zeros(uint64_t x) { return __builtin_clzll(x); }  // x != 0
inline int bit_length(uint64_t x) { return x == 0 ? 0 : 64 - leading_zeros(x); }

struct u128 {
    uint64_t hi, lo;
};

// Four 32x32->64 products: what a 32-bit target has.
constexpr u128 multiply_portable(uint64_t a, uint64_t b) {
    const uint64_t a0 = static_cast<uint32_t>(a), a1 = a >> 32;
    const uint64_t b0 = static_cast<uint32_t>(b), b1 = b >> 32;
    const uint64_t p00 = a0 * b0, p01 = a0 * b1, p10 = a1 * b0, p11 = a1 * b1;
    const uint64_t middle = (p00 >> 32) + static_cast<uint32_t>(p01) + static_cast<uint32_t>(p10);
    return {p11 + (p01 >> 32) + (p10 >> 32) + (middle >> 32), (middle << 32) | static_cast<uint32_t>(p00)};
}

inline u128 multiply(uint64_t a, uint64_t b) {
#ifdef __SIZEOF_INT128__
    __extension__ typedef unsigned __int128 wide;
    const wide p = static_cast<wide>(a) * b;
    return {static_cast<uint64_t>(p >> 64), static_cast<uint64_t>(p)};
#else
    return multiply_portable(a, b);
#endif
}

// A 192-bit integer, most significant word first.
struct u192 {
    uint64_t w2, w1, w0;
};

inline u192 multiply(uint64_t a, uint64_t b_hi, uint64_t b_lo) {
    const u128 low = multiply(a, b_lo), high = multiply(a, b_hi);
    const uint64_t w1 = high.lo + low.hi;
    return {high.hi + (w1 < low.hi), w1, low.lo};
}

}  // namespace numtext::detail

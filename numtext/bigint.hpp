// A fixed-size unsigned big integer, just enough to decide the rare
// conversions that 128-bit scaling cannot: exact comparisons of a decimal
// value with a binary one.
#pragma once
#include <cstdint>

namespace numtext::detail {

class bigint {
public:
    // Callers check their largest operands against this.
    static constexpr int capacity_bits = 3072;

    explicit bigint(uint64_t value = 0);

    // *this = *this * factor + addend.
    void multiply_add(uint32_t factor, uint32_t addend);
    void multiply_pow5(uint32_t exponent);
    void shift_left(uint32_t bits);

    friend int compare(const bigint& a, const bigint& b);

private:
    static constexpr int capacity = capacity_bits / 32;
    uint32_t limb_[capacity];  // least significant first
    int size_;                 // limbs in use; no leading zero limb
};

// Sign of x * 10^decimal_exponent - y * 2^binary_exponent. Consumes x.
int compare_scaled(bigint& x, int32_t decimal_exponent, uint64_t y, int32_t binary_exponent);

}  // namespace numtext::detail

#include "numtext/bigint.hpp"

namespace numtext::detail {

bigint::bigint(uint64_t value) : limb_{}, size_(0) {
    limb_[0] = static_cast<uint32_t>(value);
    limb_[1] = static_cast<uint32_t>(value >> 32);
    size_ = limb_[1] ? 2 : limb_[0] ? 1 : 0;
}

// Products stop at the capacity: the callers' operands are bounded well
// below it (see capacity_bits), so nothing is ever cut in practice.
void bigint::multiply_add(uint32_t factor, uint32_t addend) {
    uint64_t carry = addend;
    for (int i = 0; i < size_; ++i) {
        const uint64_t p = uint64_t(limb_[i]) * factor + carry;
        limb_[i] = static_cast<uint32_t>(p);
        carry = p >> 32;
    }
    if (carry && size_ < capacity) limb_[size_++] = static_cast<uint32_t>(carry);
}

void bigint::multiply_pow5(uint32_t exponent) {
    constexpr uint32_t pow5_13 = 1220703125;  // the largest power of five below 2^32
    for (; exponent >= 13; exponent -= 13) multiply_add(pow5_13, 0);
    uint32_t rest = 1;
    for (; exponent > 0; --exponent) rest *= 5;
    multiply_add(rest, 0);
}

void bigint::shift_left(uint32_t bits) {
    if (size_ == 0) return;
    const int words = static_cast<int>(bits / 32), shift = static_cast<int>(bits % 32);
    const int top = size_ + words;  // index of a possible new top limb
    for (int i = top; i >= words; --i) {
        const int from = i - words;
        const uint32_t high = from < size_ ? limb_[from] : 0;
        const uint32_t low = shift && from > 0 ? limb_[from - 1] >> (32 - shift) : 0;
        const uint32_t v = shift ? (high << shift) | low : high;
        if (i < capacity) limb_[i] = v;
    }
    for (int i = 0; i < words && i < capacity; ++i) limb_[i] = 0;
    size_ = top + 1 < capacity ? top + 1 : capacity;
    while (size_ > 0 && limb_[size_ - 1] == 0) --size_;
}

int compare(const bigint& a, const bigint& b) {
    if (a.size_ != b.size_) return a.size_ < b.size_ ? -1 : 1;
    for (int i = a.size_ - 1; i >= 0; --i)
        if (a.limb_[i] != b.limb_[i]) return a.limb_[i] < b.limb_[i] ? -1 : 1;
    return 0;
}

int compare_scaled(bigint& x, int32_t decimal_exponent, uint64_t y, int32_t binary_exponent) {
    // x * 5^d * 2^d against y * 2^b: move the power of five to the side
    // where it is a whole number, then align the powers of two.
    bigint other(y);
    if (decimal_exponent >= 0) x.multiply_pow5(static_cast<uint32_t>(decimal_exponent));
    else other.multiply_pow5(static_cast<uint32_t>(-decimal_exponent));
    if (decimal_exponent > binary_exponent) x.shift_left(static_cast<uint32_t>(decimal_exponent - binary_exponent));
    else other.shift_left(static_cast<uint32_t>(binary_exponent - decimal_exponent));
    return compare(x, other);
}

}  // namespace numtext::detail

#include "numtext/decimal_to_double.hpp"

#include "numtext/bigint.hpp"
#include "numtext/bits.hpp"
#include "numtext/pow5_table.hpp"
#include "numtext/scaling.hpp"

namespace numtext::detail {
namespace {

constexpr std::size_t fast_digits = 19;  // every 19-digit integer fits 64 bits

// Halfway points between doubles have at most 768 significant digits, so
// the first 800 digits and a marker for any non-zero digit after them
// compare with them exactly as the whole text would.
constexpr std::size_t exact_digits = 800;

// settle's largest operands: those digits and a marker (log2(10) < 3.322),
// or a 54-bit mantissa times 5^(exact_digits + 325) (log2(5) < 2.322), and
// the few bits that align one side with the other.
static_assert((exact_digits + 1) * 3322 / 1000 + 64 <= bigint::capacity_bits, "digits overflow the bigint");
static_assert(54 + (exact_digits + 325) * 2322 / 1000 + 64 <= bigint::capacity_bits, "powers overflow the bigint");

char digit_at(const digit_runs& d, std::size_t i) {
    return i < d.first_count ? d.first[i] : d.second[i - d.first_count];
}

struct candidate {
    uint64_t floor_bits;  // the double at or below the value
    rounding way;         // whether the value rounds to the next one up
};

uint64_t resolved(const candidate& c) { return c.floor_bits + rounds_up(c.floor_bits, c.way); }

// w * 10^q with w != 0 and q within the power-of-five table.
candidate scale(uint64_t w, int q) {
    const int shift = leading_zeros(w);
    const pow5_128& t = pow5(q);
    const u192 p = multiply(w << shift, t.hi, t.lo);
    const int top = p.w2 >> 63 ? 191 : 190;  // the product's leading bit
    const int p_exponent = pow5_exponent(q) + q - shift;  // value = p * 2^p_exponent
    const int binary_exponent = top + p_exponent;
    if (binary_exponent > 1023) return {double_infinity, rounding::down};
    // Normal doubles keep 53 bits; below 2^-1022 the grid is 2^-1074.
    const int normal_cut = top - 52, subnormal_cut = -1074 - p_exponent;
    if (normal_cut >= subnormal_cut) {
        const split_product r = split_at(p, normal_cut, pow5_exact(q));
        // The mantissa's leading bit adds one to the exponent field.
        return {(uint64_t(binary_exponent + 1022) << 52) + r.floor, r.way};
    }
    // The whole product lies below half of the grid step: zero.
    if (subnormal_cut > 192) return {0, rounding::down};
    const split_product r = split_at(p, subnormal_cut, pow5_exact(q));
    return {r.floor, r.way};
}

// Settles the value against the midpoint above `floor_bits`, the double at
// or below it, with exact integers. The value lies below the next double's
// own upper midpoint: the scaled product and the dropped digits err by far
// less than half a step.
uint64_t settle(const digit_runs& d, std::size_t count, int64_t leading, uint64_t floor_bits) {
    const std::size_t used = count < exact_digits ? count : exact_digits;
    bigint digits;
    for (std::size_t i = 0; i < used;) {
        uint32_t chunk = 0, scale = 1;
        for (int j = 0; j < 9 && i < used; ++j, ++i) {
            chunk = chunk * 10 + static_cast<uint32_t>(digit_at(d, i) - '0');
            scale *= 10;
        }
        digits.multiply_add(scale, chunk);
    }
    int32_t exponent = static_cast<int32_t>(leading - static_cast<int64_t>(used - 1));
    if (count > used) {  // the last digit is not zero (trailing zeros were dropped)
        digits.multiply_add(10, 1);
        --exponent;
    }
    const binary_value b = decode(floor_bits);
    const int c = compare_scaled(digits, exponent, 2 * b.mantissa + 1, b.exponent - 1);
    return floor_bits + (c > 0 || (c == 0 && (floor_bits & 1)));
}

}  // namespace

uint64_t decimal_to_double_bits(const digit_runs& digits, int64_t exponent) {
    // Up to 19 digits are exactly their accumulated value: the usual case.
    if (digits.first_count + digits.second_count <= fast_digits && exponent >= pow5_min && exponent <= pow5_max) {
        if (digits.low_value == 0) return 0;
        const candidate c = scale(digits.low_value, static_cast<int>(exponent));
        if (c.way != rounding::unsure) return resolved(c);
    }
    // Leading zeros do not change the integer; trailing ones move into the
    // exponent, so that a longer run ends with a non-zero digit.
    digit_runs d = digits;
    while (d.first_count && *d.first == '0') ++d.first, --d.first_count;
    if (d.first_count == 0)
        while (d.second_count && *d.second == '0') ++d.second, --d.second_count;
    while (d.second_count && d.second[d.second_count - 1] == '0') --d.second_count, ++exponent;
    if (d.second_count == 0)
        while (d.first_count && d.first[d.first_count - 1] == '0') --d.first_count, ++exponent;

    const std::size_t count = d.first_count + d.second_count;
    if (count == 0) return 0;
    // The value lies in [10^leading, 10^(leading + 1)).
    const int64_t leading = exponent + static_cast<int64_t>(count) - 1;
    if (leading > 308) return double_infinity;
    if (leading < -324) return 0;  // below 10^-324, under half the least double

    const std::size_t k = count < fast_digits ? count : fast_digits;
    uint64_t w = 0;
    for (std::size_t i = 0; i < k; ++i) w = w * 10 + static_cast<uint64_t>(digit_at(d, i) - '0');
    const int q = static_cast<int>(leading - static_cast<int64_t>(k - 1));

    const candidate below = scale(w, q);
    if (count == k) {
        if (below.way != rounding::unsure) return resolved(below);
    } else {
        // The value lies strictly between w and w + 1 times 10^q.
        const candidate above = scale(w + 1, q);
        if (below.way != rounding::unsure && above.way != rounding::unsure &&
            resolved(below) == resolved(above))
            return resolved(below);
    }
    return settle(d, count, leading, below.floor_bits);
}

}  // namespace numtext::detail

// The step both directions share: a 192-bit product of a mantissa and a
// truncated power of five, cut into an integer part and a rounding verdict.
#pragma once
#include <cstdint>

#include "numtext/bits.hpp"

namespace numtext::detail {

enum class rounding { down, tie, up, unsure };

struct split_product {
    uint64_t floor;  // floor(P / 2^s)
    rounding way;    // how the true value rounds to an integer at that cut
};

// Cuts P at bit s (129 <= s <= 192). When `exact` is false P comes from a
// truncated power of five and the true value lies strictly between P and
// P + 2^64; the verdict is then unsure only when that interval straddles
// or touches the halfway point, which is when bits 64 to s-2 are all ones
// below a clear half bit.
inline split_product split_at(const u192& p, int s, bool exact) {
    const int half_bit = s - 129;  // within the top word
    const uint64_t floor = s == 192 ? 0 : p.w2 >> (s - 128);
    const bool half = (p.w2 >> half_bit) & 1;
    const uint64_t below_mask = (uint64_t(1) << half_bit) - 1;
    const uint64_t below = p.w2 & below_mask;
    if (exact) {
        if (!half) return {floor, rounding::down};
        return {floor, (below | p.w1 | p.w0) ? rounding::up : rounding::tie};
    }
    if (half) return {floor, rounding::up};
    if (below == below_mask && p.w1 == ~uint64_t(0)) return {floor, rounding::unsure};
    return {floor, rounding::down};
}

// Whether the floor goes up by one, for a verdict that is not unsure.
inline bool rounds_up(uint64_t floor, rounding way) {
    return way == rounding::up || (way == rounding::tie && (floor & 1));
}

}  // namespace numtext::detail

// The power-of-five table, computed by the compiler from exact integers so
// that every entry is the truncation its users rely on.
#include "numtext/pow5_table.hpp"

namespace numtext::detail {
namespace {

constexpr int entry_count = pow5_max - pow5_min + 1;

// An unsigned integer up to 2^1024, 32-bit limbs, least significant first.
struct wide {
    uint32_t limb[33];
};
constexpr int limb_count = 33;

constexpr int bit_length(const wide& x) {
    for (int i = limb_count - 1; i >= 0; --i)
        for (int b = 31; b >= 0; --b)
            if ((x.limb[i] >> b) & 1) return i * 32 + b + 1;
    return 0;
}

constexpr bool bit(const wide& x, int i) {
    return i >= 0 && i < limb_count * 32 && ((x.limb[i / 32] >> (i % 32)) & 1);
}

// The 128 bits of x from bit (length - 128) upwards: x's leading bits,
// truncated, or x shifted up when it is shorter.
constexpr pow5_128 leading_128(const wide& x, int length) {
    pow5_128 t{0, 0};
    for (int i = 0; i < 128; ++i) {
        if (!bit(x, length - 128 + i)) continue;
        if (i >= 64) t.hi |= uint64_t(1) << (i - 64);
        else t.lo |= uint64_t(1) << i;
    }
    return t;
}

constexpr void multiply_by_5(wide& x) {
    uint64_t carry = 0;
    for (int i = 0; i < limb_count; ++i) {
        const uint64_t p = uint64_t(x.limb[i]) * 5 + carry;
        x.limb[i] = static_cast<uint32_t>(p);
        carry = p >> 32;
    }
}

constexpr void divide_by_5(wide& x) {
    uint64_t remainder = 0;
    for (int i = limb_count - 1; i >= 0; --i) {
        const uint64_t d = (remainder << 32) | x.limb[i];
        x.limb[i] = static_cast<uint32_t>(d / 5);
        remainder = d % 5;
    }
}

struct generated {
    std::array<pow5_128, entry_count> entries;
    int floor_log2[entry_count];
    bool exact[entry_count];  // no bit of 5^q was cut off
};

constexpr generated generate() {
    generated g{};
    // 5^q for q >= 0.
    wide x{};
    x.limb[0] = 1;
    for (int q = 0; q <= pow5_max; ++q) {
        const int length = bit_length(x);
        g.entries[q - pow5_min] = leading_128(x, length);
        g.floor_log2[q - pow5_min] = length - 1;
        g.exact[q - pow5_min] = length <= 128;
        multiply_by_5(x);
    }
    // floor(2^1024 / 5^k) for k > 0: dividing step by step floors the same
    // as one division, and its leading 128 bits are 5^-k's, truncated.
    wide y{};
    y.limb[32] = 1;
    for (int k = 1; k <= -pow5_min; ++k) {
        divide_by_5(y);
        const int length = bit_length(y);
        g.entries[-k - pow5_min] = leading_128(y, length);
        g.floor_log2[-k - pow5_min] = length - 1 - 1024;
    }
    return g;
}

constexpr generated table = generate();

constexpr bool exponents_and_exactness_match() {
    for (int q = pow5_min; q <= pow5_max; ++q) {
        if (pow5_exponent(q) != table.floor_log2[q - pow5_min] - 127) return false;
        if (pow5_exact(q) != table.exact[q - pow5_min]) return false;
    }
    return true;
}
static_assert(exponents_and_exactness_match(), "pow5_exponent or pow5_exact disagree with the exact powers");
static_assert(table.entries[0 - pow5_min].hi == uint64_t(1) << 63 && table.entries[0 - pow5_min].lo == 0,
              "5^0 is 2^127 * 2^-127");

}  // namespace

const std::array<pow5_128, pow5_max - pow5_min + 1> pow5_table = table.entries;

}  // namespace numtext::detail

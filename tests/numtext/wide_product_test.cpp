// The 32-bit targets multiply with the portable form; where the compiler
// has a 128-bit type, the two must agree.
#include <gtest/gtest.h>

#include <random>

#include "numtext/bits.hpp"

#ifdef __SIZEOF_INT128__

TEST(wide_product, portable_form_matches_native) {
    using numtext::detail::multiply;
    using numtext::detail::multiply_portable;
    const uint64_t edges[] = {0, 1, 0xFFFFFFFF, 0x100000000, 0x8000000000000000, 0xFFFFFFFFFFFFFFFF,
                              0xFFFFFFFF00000000, 0x00000000FFFFFFFF + 0x8000000000000000};
    for (uint64_t a : edges)
        for (uint64_t b : edges) {
            EXPECT_EQ(multiply_portable(a, b).hi, multiply(a, b).hi) << std::hex << a << " " << b;
            EXPECT_EQ(multiply_portable(a, b).lo, multiply(a, b).lo) << std::hex << a << " " << b;
        }
    std::mt19937_64 random(42);
    for (int i = 0; i < 1000000; ++i) {
        // Runs of ones make carries between the partial products likely.
        const uint64_t a = random() | (i & 1 ? 0xFFFFFFFF00000000 : 0), b = random() | (i & 2 ? 0xFFFFFFFF : 0);
        const auto p = multiply_portable(a, b), q = multiply(a, b);
        if (p.hi != q.hi || p.lo != q.lo) FAIL() << std::hex << a << " * " << b;
    }
}

#endif

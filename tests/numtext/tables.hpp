// The reference tables of every conversion. They compare bit patterns and
// texts only, so they can run under any floating-point control state.
#pragma once
#include <cstdint>
#include <cstring>

inline uint64_t bits_of(double v) {
    uint64_t b;
    std::memcpy(&b, &v, sizeof b);
    return b;
}
inline uint32_t bits_of(float v) {
    uint32_t b;
    std::memcpy(&b, &v, sizeof b);
    return b;
}
inline double double_from_bits(uint64_t b) {
    double v;
    std::memcpy(&v, &b, sizeof v);
    return v;
}
inline float float_from_bits(uint32_t b) {
    float v;
    std::memcpy(&v, &b, sizeof v);
    return v;
}

void expect_parse_table();
void expect_format_table();
void expect_format_integer_table();
void expect_round_to_int_table();
void expect_round_to_int_scaled_table();
void expect_single_table();

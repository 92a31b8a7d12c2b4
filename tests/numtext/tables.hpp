// The reference tables of every conversion. They compare bit patterns and
// texts only, so they can run under any floating-point control state.
#pragma once
#include <cstdint>

#include "numtext/bits.hpp"

using numtext::detail::bits_of;
using numtext::detail::double_from_bits;
using numtext::detail::float_from_bits;

void expect_parse_table();
void expect_format_table();
void expect_format_integer_table();
void expect_round_to_int_table();
void expect_round_to_int_scaled_table();
void expect_single_table();

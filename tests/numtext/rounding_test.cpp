#include <gtest/gtest.h>

#include "numtext/numtext.hpp"
#include "tables.hpp"

TEST(round_to_int, table) { expect_round_to_int_table(); }

TEST(round_to_int_scaled, table) { expect_round_to_int_scaled_table(); }

TEST(single_precision, table) { expect_single_table(); }

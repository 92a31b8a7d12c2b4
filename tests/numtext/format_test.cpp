#include <gtest/gtest.h>

#include <string>

#include "numtext/numtext.hpp"
#include "tables.hpp"

TEST(format_number, table) { expect_format_table(); }

TEST(format_number, writes_exactly_its_width) {
    char text[numtext::number_text_length + 2];
    for (double value : {0.0, -1e-300, 1.0 / 3}) {
        std::memset(text, '#', sizeof text);
        numtext::format_number(value, text + 1);
        EXPECT_EQ(text[0], '#');
        EXPECT_EQ(text[numtext::number_text_length + 1], '#');
    }
}

TEST(format_integer, table) { expect_format_integer_table(); }

TEST(format_integer, writes_only_its_length) {
    char text[numtext::integer_text_max + 1];
    std::memset(text, '#', sizeof text);
    EXPECT_EQ(numtext::format_integer(-42, text), 3u);
    EXPECT_EQ(std::string(text, sizeof text), "-42#########");
}

#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "numtext/numtext.hpp"
#include "tables.hpp"

namespace {

void expect_reads(const std::string& text, double value, int32_t error_pos) {
    const numtext::parsed_number p = numtext::parse_number(text.data(), text.size());
    EXPECT_EQ(bits_of(p.value), bits_of(value)) << text.substr(0, 60) << "... (" << text.size() << " characters)";
    EXPECT_EQ(p.error_pos, error_pos) << text.substr(0, 60);
}

}  // namespace

TEST(parse_number, table) { expect_parse_table(); }

TEST(parse_number, reads_only_its_length_and_stops_at_nul) {
    // Characters past the length are readable, and would change the result.
    const char text[] = "12.5e1 9";
    const struct {
        std::size_t length;
        double value;
        int32_t error_pos;
    } rows[] = {{0, 0, 1}, {1, 1, 0}, {2, 12, 0}, {3, 12, 4}, {4, 12.5, 0}, {5, 125, 6}, {6, 125, 0}, {7, 125, 7}};
    for (const auto& row : rows) {
        const numtext::parsed_number p = numtext::parse_number(text, row.length);
        EXPECT_EQ(bits_of(p.value), bits_of(row.value)) << "length " << row.length;
        EXPECT_EQ(p.error_pos, row.error_pos) << "length " << row.length;
    }
    // A NUL is the end of the text, wherever it lies within the length.
    expect_reads(std::string("12\0x", 4), 12, 0);
    expect_reads(std::string("1.\0005", 4), 1, 3);
    expect_reads(std::string("-\0", 2), 0, 2);
    expect_reads(std::string("1e\0" "5", 4), 1, 3);
}

TEST(parse_number, null_text_reads_as_empty) {
    for (const numtext::parsed_number p : {numtext::parse_number(nullptr), numtext::parse_number(nullptr, 7)}) {
        EXPECT_EQ(bits_of(p.value), bits_of(0.0));
        EXPECT_EQ(p.error_pos, 1);
    }
}

TEST(parse_number, long_texts_are_read_exactly) {
    const std::string zeros(1000, '0');
    // 1 + 2^-53, the tie between 1 and its successor, with 1000 zeros then
    // maybe a last non-zero digit far beyond the digits kept for deciding.
    const std::string tie = "1.00000000000000011102230246251565404236316680908203125";
    expect_reads(tie + zeros, 1.0, 0);
    expect_reads(tie + zeros + "1", 0x1.0000000000001p0, 0);
    expect_reads("1.00000000000000011102230246251565404236316680908203124" + zeros + "9", 1.0, 0);
    expect_reads("9007199254740993" + zeros + "e-1000", 9007199254740992.0, 0);  // a tie, to even
    // Exponent and digit counts far beyond the double range, compensating.
    expect_reads("0." + zeros + zeros + "1e2001", 1.0, 0);
    expect_reads("1" + zeros + zeros + "e-2000", 1.0, 0);
    expect_reads("0." + zeros + "5e1000", 0.5, 0);
    expect_reads("1e" + zeros + "5", 100000.0, 0);
    // Counts are not capped: two million fraction digits, then their exponent.
    expect_reads("0." + std::string(2000000, '0') + "1e2000001", 1.0, 0);
    expect_reads("-0." + zeros + "e99999", -0.0, 0);
    // On error, the digits read so far as one integer, rounded like any other.
    expect_reads("1" + zeros + ".", std::numeric_limits<double>::infinity(), 1003);
    expect_reads("9007199254740993" + zeros.substr(0, 290) + "e", 9007199254740993e290, 308);
    expect_reads("-" + zeros + "12.5x", 125.0, 1006);
}

// The number grammar: blanks, a sign, integer digits, a point and fraction
// digits, an exponent; the first character that does not fit stops it.
#include <climits>

#include "numtext/bits.hpp"
#include "numtext/decimal_to_double.hpp"
#include "numtext/numtext.hpp"

namespace numtext {
namespace {

using detail::digit_runs;

// Exponent digits beyond this add nothing: the value is already infinite
// or zero, whatever the digits in front.
constexpr uint64_t exponent_saturation = uint64_t(1) << 56;

bool is_digit(char c) { return c >= '0' && c <= '9'; }

// Reads a run of digits from i on, adding them to the integer read so far.
std::size_t read_digits(const char* text, std::size_t length, std::size_t i, uint64_t& value) {
    for (; i < length && is_digit(text[i]); ++i) value = value * 10 + static_cast<uint64_t>(text[i] - '0');
    return i;
}

// Positions are 1-based; the end of the text is one past its last character.
int32_t position_of(std::size_t index) {
    return index < static_cast<std::size_t>(INT32_MAX) ? static_cast<int32_t>(index + 1) : INT32_MAX;
}

// On error the digits read so far make the value, as one unsigned integer.
parsed_number failure(const digit_runs& digits, std::size_t index) {
    return {detail::double_from_bits(detail::decimal_to_double_bits(digits, 0)), position_of(index)};
}

}  // namespace

parsed_number parse_number(const char* text, std::size_t length) {
    if (text == nullptr) length = 0;
    // A NUL ends the text as its end does, so it stands for both.
    const auto at = [&](std::size_t i) { return i < length ? text[i] : '\0'; };

    std::size_t i = 0;
    while (at(i) == ' ') ++i;
    bool negative = false;
    if (at(i) == '+' || at(i) == '-') negative = text[i++] == '-';
    digit_runs digits{text, 0, text, 0, 0};
    if (at(i) == '\0') return failure(digits, i);

    digits.first = text + i;
    i = read_digits(text, length, i, digits.low_value);
    digits.first_count = static_cast<std::size_t>(text + i - digits.first);
    if (at(i) == '.') {
        if (at(++i) == '\0') return failure(digits, i);
        digits.second = text + i;
        i = read_digits(text, length, i, digits.low_value);
        digits.second_count = static_cast<std::size_t>(text + i - digits.second);
    }

    int64_t exponent = 0;
    if (at(i) == 'e' || at(i) == 'E') {
        bool exponent_negative = false;
        if (at(++i) == '+' || at(i) == '-') exponent_negative = text[i++] == '-';
        if (!is_digit(at(i))) return failure(digits, i);
        uint64_t magnitude = 0;
        for (; is_digit(at(i)); ++i)
            if (magnitude < exponent_saturation) magnitude = magnitude * 10 + static_cast<uint64_t>(at(i) - '0');
        exponent = exponent_negative ? -static_cast<int64_t>(magnitude) : static_cast<int64_t>(magnitude);
    }
    if (at(i) != '\0') return failure(digits, i);

    const uint64_t bits = detail::decimal_to_double_bits(
        digits, exponent - static_cast<int64_t>(digits.second_count));
    return {detail::double_from_bits(bits | (negative ? detail::double_sign : 0)), 0};
}

parsed_number parse_number(const char* text) { return parse_number(text, text ? SIZE_MAX : 0); }

}  // namespace numtext

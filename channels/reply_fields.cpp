#include "channels/reply_fields.hpp"

#include <cstring>

#include "numtext/numtext.hpp"

namespace channels {
namespace {

// 1-based character positions of a field; a field past the line's end is cut there.
struct field { std::size_t first, last; };
constexpr field reading_field{1, 6};     // absorbance or transmission
constexpr field wavelength_field{7, 11};  // in the reply to "A"

std::size_t cut(const field& f, std::size_t length, std::size_t& start) {
    start = f.first - 1;
    if (start >= length) return 0;
    const std::size_t end = f.last < length ? f.last : length;
    return end - start;
}

double parsed_or_no_value(const char* text, std::size_t length) {
    const numtext::parsed_number p = numtext::parse_number(text, length);
    return p.error_pos == 0 ? p.value : NO_VALUE;
}

}  // namespace

std::size_t keep_numeric(char* text, std::size_t length) {
    std::size_t kept = 0;
    for (std::size_t i = 0; i < length; ++i) {
        const char c = text[i];
        if (c == '+' || (c >= '-' && c <= '9')) text[kept++] = c;
    }
    return kept;
}

double field_value(int32_t channel, const uint8_t* line, std::size_t length) {
    const char* text = reinterpret_cast<const char*>(line);
    std::size_t start = 0;
    switch (channel) {
    case WAVELENGTH: {
        char digits[wavelength_field.last - wavelength_field.first + 1];
        std::size_t n = cut(wavelength_field, length, start);
        std::memcpy(digits, text + start, n);
        n = keep_numeric(digits, n);
        return parsed_or_no_value(digits, n);
    }
    case ABSORBANCE:
    case TRANSMISSION: {
        const std::size_t n = cut(reading_field, length, start);
        return parsed_or_no_value(text + start, n);
    }
    default:
        return parsed_or_no_value(text, length);
    }
}

}  // namespace channels

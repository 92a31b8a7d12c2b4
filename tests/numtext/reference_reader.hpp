// An independent reading of the number grammar, as an explicit state
// machine, with the C library's strtod (correctly rounded in glibc) giving
// the values. For checking parse_number on hosts with such a strtod.
#pragma once
#include <cstddef>
#include <cstdlib>
#include <string>

struct reference_reading {
    bool ok;
    std::size_t stop;    // where an error stopped the reading (the end is length)
    std::string digits;  // integer and fraction digits read before it
    std::string c_text;  // on success: the same number in strtod's syntax
};

inline reference_reading read_reference(const char* text, std::size_t length) {
    enum { blanks, sign_read, integer, point, fraction, exponent_letter, exponent_sign, exponent_digits } state = blanks;
    std::string sign, integer_digits, fraction_digits, exponent_sign_text, exponent_text;
    for (std::size_t i = 0;; ++i) {
        const char c = i < length ? text[i] : '\0';  // NUL or the end: end of text
        const bool digit = c >= '0' && c <= '9';
        const bool letter_e = c == 'e' || c == 'E';
        switch (state) {
        case blanks:
            if (c == ' ') continue;
            if (c == '+' || c == '-') {
                sign = c;
                state = sign_read;
                continue;
            }
            [[fallthrough]];
        case sign_read:
        case integer:
            if (digit) {
                integer_digits += c;
                state = integer;
                continue;
            }
            if (c == '.') {
                state = point;
                continue;
            }
            if (letter_e) {
                state = exponent_letter;
                continue;
            }
            if (c == '\0' && state == integer) break;
            return {false, i, integer_digits + fraction_digits, ""};
        case point:
        case fraction:
            if (digit) {
                fraction_digits += c;
                state = fraction;
                continue;
            }
            if (letter_e) {
                state = exponent_letter;
                continue;
            }
            if (c == '\0' && state == fraction) break;
            return {false, i, integer_digits + fraction_digits, ""};
        case exponent_letter:
            if (c == '+' || c == '-') {
                exponent_sign_text = c;
                state = exponent_sign;
                continue;
            }
            [[fallthrough]];
        case exponent_sign:
        case exponent_digits:
            if (digit) {
                exponent_text += c;
                state = exponent_digits;
                continue;
            }
            if (c == '\0' && state == exponent_digits) break;
            return {false, i, integer_digits + fraction_digits, ""};
        }
        // The whole text is a number.
        const std::string c_text = sign + (integer_digits.empty() ? "0" : integer_digits) + "." +
                                   (fraction_digits.empty() ? "0" : fraction_digits) + "e" + exponent_sign_text +
                                   (exponent_text.empty() ? "0" : exponent_text);
        return {true, i, integer_digits + fraction_digits, c_text};
    }
}

// The value parse_number owes for this reading.
inline double reference_value(const reference_reading& r) {
    if (r.ok) return std::strtod(r.c_text.c_str(), nullptr);
    return r.digits.empty() ? 0.0 : std::strtod(r.digits.c_str(), nullptr);
}

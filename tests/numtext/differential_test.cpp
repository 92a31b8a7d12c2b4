// The conversions against the C library over millions of values. glibc's
// strtod and printf are exact (correctly rounded from the exact binary
// value); msvcrt's are not, so this runs on the native build only.
#ifndef _WIN32

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

#include "numtext/numtext.hpp"
#include "reference_reader.hpp"
#include "tables.hpp"

namespace {

// Stops a test at the first few disagreements instead of flooding the log.
class mismatches {
public:
    bool record() { return ++count_ <= 5; }
    ~mismatches() { EXPECT_EQ(count_, 0) << "disagreements in total"; }

private:
    int count_ = 0;
};

double random_finite(std::mt19937_64& random) {
    for (;;) {
        const uint64_t bits = random();
        if ((bits >> 52 & 0x7FF) != 0x7FF) return double_from_bits(bits);
    }
}

// The 18 significant digits glibc gives, reduced to 15 by rounding half up.
std::string reference_format(double value) {
    if (std::isnan(value)) return std::string(20, ' ') + "Nan";
    if (std::isinf(value)) return std::string(19, ' ') + (value < 0 ? "-Inf" : "+Inf");
    char c[40];
    std::snprintf(c, sizeof c, "%.17e", std::fabs(value));  // d.ddddddddddddddddde+XX
    std::string digits = std::string(1, c[0]) + std::string(c + 2, 17);
    int exponent = std::atoi(c + 20);
    const bool up = digits.compare(15, 3, "500") >= 0;
    digits.resize(15);
    if (up) {
        int i = 14;
        for (; i >= 0 && digits[i] == '9'; --i) digits[i] = '0';
        if (i >= 0) ++digits[i];
        else digits = "1" + digits.substr(0, 14), ++exponent;
    }
    if (value == 0) exponent = 0;
    char e[16];
    std::snprintf(e, sizeof e, "%c%04d", exponent < 0 ? '-' : '+', std::abs(exponent));
    return std::string(std::signbit(value) ? "-" : " ") + digits[0] + "." + digits.substr(1) + "E" + e;
}

void check_format(double value, mismatches& m) {
    char text[numtext::number_text_length];
    numtext::format_number(value, text);
    const std::string expected = reference_format(value);
    if (std::string(text, sizeof text) != expected && m.record())
        ADD_FAILURE() << std::hexfloat << value << ": " << std::string(text, sizeof text) << " instead of " << expected;
}

void check_parse(const std::string& text, mismatches& m) {
    const numtext::parsed_number p = numtext::parse_number(text.c_str());
    const reference_reading r = read_reference(text.data(), text.size());
    const double expected = reference_value(r);
    const int32_t expected_pos = r.ok ? 0 : static_cast<int32_t>(r.stop + 1);
    if ((bits_of(p.value) != bits_of(expected) || p.error_pos != expected_pos) && m.record())
        ADD_FAILURE() << '"' << text.substr(0, 200) << "\": " << std::hexfloat << p.value << " at " << p.error_pos
                      << " instead of " << expected << " at " << expected_pos;
}

std::string random_digits(std::mt19937_64& random, std::size_t count) {
    std::string s(count, '0');
    for (char& c : s) c = static_cast<char>('0' + random() % 10);
    return s;
}

// The exact decimal expansion of the midpoint above a positive double,
// which a long double holds exactly (it needs 54 bits).
std::string midpoint_text(double value) {
    const long double next = std::nextafter(value, HUGE_VAL);
    const long double mid = (static_cast<long double>(value) + next) / 2;
    static char text[1200];
    std::snprintf(text, sizeof text, "%.1100Le", mid);
    std::string s = text;
    // Drop the zeros ending the mantissa.
    const std::size_t e = s.find('e');
    std::size_t end = e;
    while (s[end - 1] == '0') --end;
    return s.substr(0, end) + s.substr(e);
}

}  // namespace

TEST(differential, format_number_matches_exact_rounding) {
    std::mt19937_64 random(1);
    mismatches m;
    for (int i = 0; i < 1000000; ++i) check_format(random_finite(random), m);
    // Few fraction bits: exact expansions of 16 to 20 digits, where the
    // 18-digit and the 15-digit steps both decide.
    for (int i = 0; i < 300000; ++i) {
        const double v = std::ldexp(static_cast<double>(random() >> 11), -static_cast<int>(random() % 12));
        check_format(i & 1 ? -v : v, m);
    }
    // Both sides of every power of ten, where the leading digit changes.
    for (int k = -324; k <= 308; ++k) {
        const double p = std::strtod(("1e" + std::to_string(k)).c_str(), nullptr);
        double v = p;
        for (int step = 0; step < 4; ++step) v = std::nextafter(v, 0.0);
        for (int step = 0; step < 8; ++step, v = std::nextafter(v, HUGE_VAL)) check_format(v, m);
    }
    // Integers and small values that print exactly.
    for (int i = -100000; i <= 100000; ++i) check_format(i, m), check_format(i / 1024.0, m);
}

TEST(differential, parse_number_matches_strtod) {
    std::mt19937_64 random(2);
    mismatches m;
    char text[64];
    // Round trips of shortest-enough texts.
    for (int i = 0; i < 300000; ++i) {
        const double v = random_finite(random);
        std::snprintf(text, sizeof text, "%.17g", v);
        const numtext::parsed_number p = numtext::parse_number(text);
        if ((bits_of(p.value) != bits_of(v) || p.error_pos != 0) && m.record())
            ADD_FAILURE() << text << " read as " << std::hexfloat << p.value;
    }
    // Texts of every shape: digits on either side of the point, exponents
    // reaching past both ends of the range, up to 40 significant digits.
    for (int i = 0; i < 600000; ++i) {
        std::string s(random() % 3, ' ');
        if (random() % 3 == 0) s += random() % 2 ? '-' : '+';
        s += random_digits(random, random() % 22);
        if (random() % 2) s += "." + random_digits(random, random() % 20);
        if (random() % 4 != 0) {
            s += random() % 2 ? 'e' : 'E';
            const int exponent = static_cast<int>(random() % 760) - 380;
            s += (exponent < 0 ? "-" : random() % 2 ? "+" : "") + std::to_string(std::abs(exponent));
        }
        check_parse(s, m);
    }
    // Every decimal exponent with 1 and 19 digits, across the whole table.
    for (int k = -345; k <= 310; ++k) {
        const std::string e = "e" + std::to_string(k);
        for (const char* digits : {"1", "9999999999999999999", "4.94065645841247", "2.4703282292062327", "17976931348623157"})
            check_parse(digits + e, m);
        check_parse(random_digits(random, 19) + e, m);
    }
}

TEST(differential, parse_number_decides_near_midpoints) {
    std::mt19937_64 random(3);
    mismatches m;
    for (int i = 0; i < 20000; ++i) {
        const double v = std::fabs(random_finite(random));
        if (v == std::numeric_limits<double>::max()) continue;
        const std::string mid = midpoint_text(v);
        const std::size_t e = mid.find('e');
        check_parse(mid, m);                                        // the tie: to even
        check_parse(mid.substr(0, e) + "000001" + mid.substr(e), m);  // just above
        const std::size_t cut = 3 + random() % (e - 3);
        check_parse(mid.substr(0, cut) + mid.substr(e), m);  // just below
    }
    // Near the subnormal midpoints, where most digits are needed.
    for (uint64_t bits = 1; bits < 2000; bits += 7) {
        const std::string mid = midpoint_text(double_from_bits(bits));
        const std::size_t e = mid.find('e');
        check_parse(mid, m);
        check_parse(mid.substr(0, e) + "1" + mid.substr(e), m);
        check_parse(mid.substr(0, e - 1) + mid.substr(e), m);
    }
}

TEST(differential, parse_number_errors_give_the_digits_read) {
    std::mt19937_64 random(4);
    mismatches m;
    static const char alphabet[] = "0123456789012345678901234567890123456789  ..eE+-x\t";
    for (int i = 0; i < 400000; ++i) {
        std::string s(random() % 16, ' ');
        for (char& c : s) c = alphabet[random() % (sizeof alphabet - 1)];
        check_parse(s, m);
    }
}

TEST(differential, single_precision_matches_hardware) {
    std::mt19937_64 random(5);
    mismatches m;
    for (int i = 0; i < 2000000; ++i) {
        // Exponents across the single range, its subnormals and beyond.
        const uint64_t bits = (random() & 0x800FFFFFFFFFFFFF) | ((uint64_t(1023 - 160 + random() % 300)) << 52);
        const double d = double_from_bits(bits);
        if (bits_of(numtext::to_single(d)) != bits_of(static_cast<float>(d)) && m.record())
            ADD_FAILURE() << std::hex << bits;
        const float f = float_from_bits(static_cast<uint32_t>(random()));
        if (std::isnan(f)) continue;
        if (bits_of(numtext::to_double(f)) != bits_of(static_cast<double>(f)) && m.record())
            ADD_FAILURE() << std::hex << bits_of(f);
    }
}

TEST(differential, rounding_matches_exact_products) {
    std::mt19937_64 random(6);
    mismatches m;
    const uint32_t factors[] = {1, 2, 3, 10, 100, 1000, 2047, 2048};
    for (int i = 0; i < 1000000; ++i) {
        // Magnitudes around the 32-bit range and down to fractions.
        const int exponent = static_cast<int>(random() % 90) - 60;
        const double v = std::ldexp(static_cast<double>(random() >> 11), exponent - 53) * (i & 1 ? -1 : 1);
        const uint32_t factor = i & 2 ? factors[random() % 8] : static_cast<uint32_t>(random() % 2049);
        // 53 + 11 bits: a long double holds the product exactly.
        const long double rounded = std::nearbyintl(static_cast<long double>(v) * factor);
        const int32_t expected =
            rounded >= -2147483648.0L && rounded <= 2147483647.0L ? static_cast<int32_t>(rounded) : INT32_MIN;
        if (numtext::round_to_int_scaled(v, factor) != expected && m.record())
            ADD_FAILURE() << std::hexfloat << v << " * " << factor;
        const double r = std::nearbyint(v);
        const int32_t plain = r >= -2147483648.0 && r <= 2147483647.0 ? static_cast<int32_t>(r) : INT32_MIN;
        if (numtext::round_to_int(v) != plain && m.record()) ADD_FAILURE() << std::hexfloat << v;
    }
}

#endif

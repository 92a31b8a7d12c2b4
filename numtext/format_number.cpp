// Scientific text of fixed width: the exact value rounded to 18 significant
// digits, then to 15 by rounding half up.
#include <cstring>

#include "numtext/bigint.hpp"
#include "numtext/bits.hpp"
#include "numtext/numtext.hpp"
#include "numtext/pow5_table.hpp"
#include "numtext/scaling.hpp"

namespace numtext {
namespace {

using namespace detail;

constexpr uint64_t ten_to_14 = 100000000000000;
constexpr uint64_t ten_to_15 = 10 * ten_to_14;
constexpr uint64_t ten_to_18 = 1000 * ten_to_15;

// floor(e * log10(2)); 78913 / 2^18 is close enough for 0 <= e <= 1650,
// and for e < 0 the product is never a whole number.
int floor_log10_pow2(int e) {
    return e >= 0 ? (e * 78913) >> 18 : -(((-e) * 78913) >> 18) - 1;
}

struct decimal {
    uint64_t digits;  // 18 digits, or 10^18 when rounding carried
    int exponent;     // of the leading digit
};

// Exact rounding where the scaled product could not tell: sign of
// mantissa * 2^exponent * 10^j - (floor + 1/2). The operands stay below
// 2^61 * 5^292 and 2^53 * 5^341, far inside the bigint.
rounding settle(const binary_value& v, int j, uint64_t floor) {
    bigint halfway(2 * floor + 1);
    const int c = compare_scaled(halfway, -j, v.mantissa, v.exponent + 1);
    return c > 0 ? rounding::down : c < 0 ? rounding::up : rounding::tie;
}

decimal eighteen_digits(const binary_value& v) {
    const int shift = leading_zeros(v.mantissa);
    const uint64_t m = v.mantissa << shift;
    // With e = floor(log2(value)) and k = floor(log10(2^e)):
    // 10^k <= value < 2^(e+1) < 2 * 10^(k+1), so the leading digit's
    // exponent is k or k + 1.
    int k = floor_log10_pow2(v.exponent + 63 - shift);
    for (;; ++k) {
        // value * 10^j lies in [10^17, 10^18), or in [10^18, 2 * 10^18) when
        // k is one short: p / 2^cut with cut in [130, 135].
        const int j = 17 - k;
        const pow5_128& t = pow5(j);
        const u192 p = multiply(m, t.hi, t.lo);
        const int cut = -(pow5_exponent(j) + j + v.exponent - shift);  // value * 10^j = p / 2^cut
        const split_product r = split_at(p, cut, pow5_exact(j));
        if (r.floor >= ten_to_18) continue;
        const rounding way = r.way == rounding::unsure ? settle(v, j, r.floor) : r.way;
        return {r.floor + rounds_up(r.floor, way), k};
    }
}

void write_digits(uint32_t value, char* end, int count) {
    for (int i = 0; i < count; ++i, value /= 10) *--end = static_cast<char>('0' + value % 10);
}

void write_special(const char* word, std::size_t length, char* out) {
    std::memset(out, ' ', number_text_length - length);
    std::memcpy(out + number_text_length - length, word, length);
}

}  // namespace

void format_number(double value, char* out) {
    const uint64_t bits = bits_of(value);
    const bool negative = bits >> 63;
    const uint64_t magnitude = bits & ~double_sign;
    if (magnitude > double_infinity) return write_special("Nan", 3, out);
    if (magnitude == double_infinity) return write_special(negative ? "-Inf" : "+Inf", 4, out);

    uint64_t digits = 0;
    int exponent = 0;
    if (magnitude != 0) {
        const decimal d = eighteen_digits(decode(magnitude));
        digits = d.digits / 1000 + (d.digits % 1000 >= 500);
        exponent = d.exponent;
        if (digits == ten_to_15) {  // 9.99999999999999|5 and above
            digits = ten_to_14;
            ++exponent;
        }
    }

    out[0] = negative ? '-' : ' ';
    out[1] = static_cast<char>('0' + digits / ten_to_14);
    out[2] = '.';
    const uint64_t rest = digits % ten_to_14;
    write_digits(static_cast<uint32_t>(rest / 10000000), out + 10, 7);
    write_digits(static_cast<uint32_t>(rest % 10000000), out + 17, 7);
    out[17] = 'E';
    out[18] = exponent < 0 ? '-' : '+';
    write_digits(static_cast<uint32_t>(exponent < 0 ? -exponent : exponent), out + 23, 4);
}

}  // namespace numtext

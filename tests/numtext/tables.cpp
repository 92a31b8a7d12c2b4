#include "tables.hpp"

#include <gtest/gtest.h>

#include <limits>
#include <string>

#include "numtext/numtext.hpp"

namespace {

constexpr double inf = std::numeric_limits<double>::infinity();
constexpr double nan = std::numeric_limits<double>::quiet_NaN();
constexpr double max_double = std::numeric_limits<double>::max();
constexpr double least_double = std::numeric_limits<double>::denorm_min();

struct parse_row {
    const char* text;
    double value;
    int32_t error_pos;
};

// A text that is also a C++ literal: the compiler's correctly rounded
// reading is the expected value.
#define LITERAL(x) {#x, x, 0}

const parse_row parse_rows[] = {
    // Grammar and error positions; the value on error is the digits read so far.
    {" 12", 12, 0},
    {"+1.5e2", 150, 0},
    {".5", 0.5, 0},
    {"1E-5", 1e-5, 0},
    {"E5", 0, 0},
    {".e5", 0, 0},
    {"-.e1", -0.0, 0},
    {"-0", -0.0, 0},
    {"-0.000", -0.0, 0},
    {"1.e5", 100000, 0},
    {"  -3.25E+01", -32.5, 0},
    {"007", 7, 0},
    {"1.", 1, 3},
    {".", 0, 2},
    {"+", 0, 2},
    {"-", 0, 2},
    {"- 5", 0, 2},
    {"+-5", 0, 2},
    {"12 ", 12, 3},
    {"550.5 ", 5505, 6},
    {"1,5", 1, 2},
    {"1.2.3", 12, 4},
    {"-12.5x", 125, 6},
    {".x", 0, 2},
    {"e", 0, 2},
    {"1e", 1, 3},
    {"1e+", 1, 4},
    {"1ee5", 1, 3},
    {"1e5x", 1, 4},
    {"1e5 ", 1, 4},
    {"2.5e1.5", 25, 6},
    {"0x10", 0, 2},
    {"", 0, 1},
    {"   ", 0, 4},
    {"\t5", 0, 1},
    {"\n", 0, 1},
    // Range: beyond the largest double and below half the least.
    {"1e400", inf, 0},
    {"-1e400", -inf, 0},
    {"1e-400", 0, 0},
    {"-1e-400", -0.0, 0},
    {"0e999999999999999999999999", 0, 0},
    {"1e-99999999999999999999999", 0, 0},
    {"1e+99999999999999999999999", inf, 0},
    {"0.0000000000000000000000000000001e31", 1, 0},
    {"1.7976931348623157e308", max_double, 0},
    {"1.7976931348623158e308", max_double, 0},
    {"1.7976931348623159e308", inf, 0},
    // max + half a step: a tie, to the even neighbour, which is infinity.
    {"17976931348623158079372897140530341507993413271003782693617377898044496829276475094664901797758720709633028641669288791094655554785194040263065748867150582068190890200070838367627385484581771153176447573027006985557136695962284291481986083493647529271907416844436551070434271155969950809304288017790417449779"
     "2",
     inf, 0},
    {"17976931348623158079372897140530341507993413271003782693617377898044496829276475094664901797758720709633028641669288791094655554785194040263065748867150582068190890200070838367627385484581771153176447573027006985557136695962284291481986083493647529271907416844436551070434271155969950809304288017790417449779"
     "1",
     max_double, 0},
    {"4.9406564584124654e-324", least_double, 0},
    {"2.4703282292062328e-324", least_double, 0},
    {"2.4703282292062327e-324", 0, 0},
    // Half the least double exactly (2^-1075): a tie, to zero.
    {"2.4703282292062327208828439643411068618252990130716238221279284125033775363510437593264991818081799618989828234772285886546332835517796989819938739800539093906315035659515570226392290858392449105184435931802849936536152500319370457678249219365623669863658480757001585769269903706311928279558551332927834338409351978015531246597263579574622766465272827220056374006485499977096599470454020828166226237857393450736339007967761930577506740176324673600968951340535537458516661134223766678604162159680461914467291840300530057530849048765391711386591646239524912623653881879636239373280423891018672348497668235089863388587925628302755995657524455507255189313690836254779186948667994968324049705821028513185451396213837722826145437693412532098591327667236328125e-324",
     0, 0},
    {"2.2250738585072011e-308", 0x0.fffffffffffffp-1022, 0},
    {"2.2250738585072012e-308", 0x1p-1022, 0},
    // Ties between neighbours, and texts just off them.
    LITERAL(9007199254740993e0),
    LITERAL(9007199254740995e0),
    LITERAL(9007199254740993.0000000000000000001),
    LITERAL(1.00000000000000011102230246251565404236316680908203125),
    LITERAL(1.00000000000000011102230246251565404236316680908203124),
    LITERAL(1.00000000000000011102230246251565404236316680908203126),
    LITERAL(4503599627370496.5),
    LITERAL(4503599627370497.5),
    // Hard cases for readers that scale in floating point.
    LITERAL(0.1),
    LITERAL(1e23),
    LITERAL(8.98846567431158e307),
    LITERAL(7.038531e-26),
    LITERAL(123456789012345678901234567890e0),
    LITERAL(0.1000000000000000055511151231257827021181583404541015625),
    LITERAL(2.2250738585072014e-308),
    LITERAL(4.4501477170144023e-308),
    LITERAL(1.2345678901234567e-310),
    // Value on error from more digits than fit 64 bits, or the double range.
    {"12345678901234567890123x", 12345678901234567890123.0, 24},
    {"1e0000000000000000000000000000001x", 1, 34},
};

#undef LITERAL

struct format_row {
    double value;
    const char* text;
};

const format_row format_rows[] = {
    {-777, "-7.77000000000000E+0002"},
    {0, " 0.00000000000000E+0000"},
    {-0.0, "-0.00000000000000E+0000"},
    {0.123, " 1.23000000000000E-0001"},
    {546, " 5.46000000000000E+0002"},
    {0.00001, " 1.00000000000000E-0005"},
    {12.3, " 1.23000000000000E+0001"},
    {15.7, " 1.57000000000000E+0001"},
    {0.1, " 1.00000000000000E-0001"},
    {0.3, " 3.00000000000000E-0001"},
    {0x1p-22, " 2.38418579101563E-0007"},  // 2.384185791015625: half rounds up
    {9.999999999999999, " 1.00000000000000E+0001"},
    {123456789012345678.0, " 1.23456789012346E+0017"},
    {1e300, " 1.00000000000000E+0300"},
    {max_double, " 1.79769313486232E+0308"},
    {least_double, " 4.94065645841247E-0324"},
    {-least_double, "-4.94065645841247E-0324"},
    {0x1p-1022, " 2.22507385850720E-0308"},
    {0x0.fffffffffffffp-1022, " 2.22507385850720E-0308"},
    {1e-305, " 1.00000000000000E-0305"},  // 9.9999999999999999628e-306
    {1e23, " 1.00000000000000E+0023"},
    {-1.5, "-1.50000000000000E+0000"},
    {1234567, " 1.23456700000000E+0006"},
    // Exactly 1.41341672367616499883...: 18 digits end in 500, which then
    // rounds up; rounding straight to 15 digits would give ...616.
    {1.413416723676165, " 1.41341672367617E+0000"},
    {2.360765207392045e+23, " 2.36076520739205E+0023"},
    {nan, "                    Nan"},
    {-nan, "                    Nan"},
    {inf, "                   +Inf"},
    {-inf, "                   -Inf"},
};

}  // namespace

void expect_parse_table() {
    for (const parse_row& row : parse_rows) {
        const numtext::parsed_number p = numtext::parse_number(row.text);
        EXPECT_EQ(bits_of(p.value), bits_of(row.value)) << '"' << row.text << '"';
        EXPECT_EQ(p.error_pos, row.error_pos) << '"' << row.text << '"';
    }
}

void expect_format_table() {
    // A signalling NaN is written like any NaN.
    const double signalling = double_from_bits(0xFFF0000000000001u);
    char text[numtext::number_text_length];
    for (const format_row& row : format_rows) {
        numtext::format_number(row.value, text);
        EXPECT_EQ(std::string(text, sizeof text), row.text) << "bits " << std::hex << bits_of(row.value);
    }
    numtext::format_number(signalling, text);
    EXPECT_EQ(std::string(text, sizeof text), "                    Nan");
}

void expect_format_integer_table() {
    const struct {
        int32_t value;
        const char* text;
    } rows[] = {{546, "546"}, {0, "0"}, {-1, "-1"}, {7, "7"}, {-10, "-10"}, {1000000000, "1000000000"},
                {2147483647, "2147483647"}, {INT32_MIN, "-2147483648"}};
    for (const auto& row : rows) {
        char text[numtext::integer_text_max];
        const std::size_t n = numtext::format_integer(row.value, text);
        EXPECT_EQ(std::string(text, n), row.text);
    }
}

void expect_round_to_int_table() {
    const struct {
        double value;
        int32_t expected;
    } rows[] = {
        {546.4999, 546}, {546.5, 546}, {547.5, 548}, {0.5, 0}, {1.5, 2}, {2.5, 2}, {-2.5, -2}, {12.5, 12},
        {-0.5, 0}, {-0.0, 0}, {0.49999999999999994, 0}, {-1.5, -2}, {least_double, 0},
        {4503599627370497.0, INT32_MIN}, {1e300, INT32_MIN},
        {2147483647.4, 2147483647}, {2147483647.5, INT32_MIN}, {2147483648.0, INT32_MIN},
        {-2147483648.0, INT32_MIN}, {-2147483648.5, INT32_MIN}, {-2147483648.4, INT32_MIN},
        {-2147483647.5, INT32_MIN}, {-2147483646.5, -2147483646},
        {nan, INT32_MIN}, {-nan, INT32_MIN}, {inf, INT32_MIN}, {-inf, INT32_MIN},
    };
    for (const auto& row : rows)
        EXPECT_EQ(numtext::round_to_int(row.value), row.expected) << "bits " << std::hex << bits_of(row.value);
}

void expect_round_to_int_scaled_table() {
    // 0.005, 0.015 and 0.025 are not doubles: the nearest lie just above,
    // below and above the half, and the exact product keeps that.
    const struct {
        double value;
        uint32_t factor;
        int32_t expected;
    } rows[] = {
        {0.125, 100, 12}, {0.375, 100, 38}, {-0.125, 100, -12}, {0.005, 100, 1}, {0.015, 100, 1},
        {0.025, 100, 3}, {0.452, 100, 45}, {35.31, 100, 3531}, {-777, 100, -77700}, {0.5, 0, 0},
        {21474836.47, 100, 2147483647}, {21474836.475, 100, INT32_MIN}, {-21474836.48, 100, INT32_MIN},
        {-1.0, 2048, -2048}, {0x1p20, 2048, INT32_MIN}, {0x1p-1074, 2048, 0}, {0x1.8p-1, 3, 2},
        {nan, 0, INT32_MIN}, {inf, 100, INT32_MIN}, {-inf, 0, INT32_MIN},
        // Factors wider than 11 bits stay exact.
        {-0x1p-1, 0x80000000u, -1073741824}, {1.0, 0x80000000u, INT32_MIN},
        {0x1p-2, 0xFFFFFFFFu, 1073741824}, {0x1.fffffffffffffp-33, 0xFFFFFFFFu, 1},
        // 2.5 plus less than 2^-60: the product's lowest bits break the tie.
        {0x1.400124324ace1p-31, 0xFFFF163Fu, 3},
    };
    for (const auto& row : rows)
        EXPECT_EQ(numtext::round_to_int_scaled(row.value, row.factor), row.expected)
            << "bits " << std::hex << bits_of(row.value) << " factor " << std::dec << row.factor;
}

void expect_single_table() {
    const struct {
        uint64_t value;
        uint32_t single;
    } narrowing[] = {
        {0x3FF0000000000000, 0x3F800000},  // 1
        {0x3FB999999999999A, 0x3DCCCCCD},  // 0.1
        {0x3FF0000010000000, 0x3F800000},  // 1 + 2^-24: a tie, to even
        {0x3FF0000030000000, 0x3F800002},  // 1 + 3 * 2^-24: a tie, to even
        {0x3FF0000010000001, 0x3F800001},  // just above the tie
        {0x47EFFFFFE0000000, 0x7F7FFFFF},  // largest single
        {0x47EFFFFFEFFFFFFF, 0x7F7FFFFF},  // just below the tie with 2^128
        {0x47EFFFFFF0000000, 0x7F800000},  // the tie: to infinity
        {0xC7EFFFFFF0000000, 0xFF800000},
        {0x7FEFFFFFFFFFFFFF, 0x7F800000},  // largest double
        {0x36A0000000000000, 0x00000001},  // 2^-149, the least single
        {0x3690000000000000, 0x00000000},  // 2^-150: a tie, to zero
        {0x3690000000000001, 0x00000001},
        {0x36A8000000000000, 0x00000002},  // 1.5 * 2^-149: a tie, to even
        {0x3810000000000000, 0x00800000},  // 2^-126, the least normal single
        {0x380FFFFFC0000000, 0x007FFFFF},  // the largest subnormal single
        {0x380FFFFFE0000000, 0x00800000},  // a tie, to even: out of the subnormals
        {0x380FFFFFD0000000, 0x007FFFFF},
        {0x0000000000000001, 0x00000000},  // subnormal double
        {0x8000000000000001, 0x80000000},
        {0x8000000000000000, 0x80000000},
        {0x7FF0000000000000, 0x7F800000},
        {0xFFF0000000000000, 0xFF800000},
        {0x7FF8000000000000, 0x7FC00000},
        {0xFFF0000000000001, 0xFFC00000},  // signalling, made quiet
        {0x7FF4000020000000, 0x7FE00001},  // payload kept
    };
    for (const auto& row : narrowing)
        EXPECT_EQ(bits_of(numtext::to_single(double_from_bits(row.value))), row.single) << std::hex << row.value;

    const struct {
        uint32_t single;
        uint64_t value;
    } widening[] = {
        {0x3F800000, 0x3FF0000000000000}, {0x3DCCCCCD, 0x3FB99999A0000000}, {0x7F7FFFFF, 0x47EFFFFFE0000000},
        {0x00000001, 0x36A0000000000000}, {0x007FFFFF, 0x380FFFFFC0000000}, {0x00800000, 0x3810000000000000},
        {0x80000000, 0x8000000000000000}, {0xFF800000, 0xFFF0000000000000}, {0x7FC00000, 0x7FF8000000000000},
        {0x7F800001, 0x7FF8000020000000},  // signalling, made quiet
        {0xFFA00000, 0xFFFC000000000000},
    };
    for (const auto& row : widening)
        EXPECT_EQ(bits_of(numtext::to_double(float_from_bits(row.single))), row.value) << std::hex << row.single;
}

// Times the number text conversions against the C library on the same
// inputs: typical instrument reply fields and random doubles.
// Goal: parse_number at most half of strtod's time, format_number at most
// half of snprintf("%.14E")'s.
#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "numtext/numtext.hpp"

namespace {

// Keeps results alive so that no timed call is optimised away.
volatile uint64_t sink;

template <class F>
double best_ns_per_call(std::size_t calls, F&& run) {
    double best = 1e300;
    for (int round = 0; round < 7; ++round) {
        const auto start = std::chrono::steady_clock::now();
        run();
        const std::chrono::duration<double, std::nano> took = std::chrono::steady_clock::now() - start;
        best = std::min(best, took.count() / static_cast<double>(calls));
    }
    return best;
}

uint64_t bits_of(double v) {
    uint64_t b;
    std::memcpy(&b, &v, sizeof b);
    return b;
}

void compare_parse(const char* name, const std::vector<std::string>& texts, int repeat) {
    const std::size_t calls = texts.size() * static_cast<std::size_t>(repeat);
    const double ours = best_ns_per_call(calls, [&] {
        uint64_t acc = 0;
        for (int r = 0; r < repeat; ++r)
            for (const std::string& t : texts) acc += bits_of(numtext::parse_number(t.data(), t.size()).value);
        sink = acc;
    });
    const double libc = best_ns_per_call(calls, [&] {
        uint64_t acc = 0;
        for (int r = 0; r < repeat; ++r)
            for (const std::string& t : texts) acc += bits_of(std::strtod(t.c_str(), nullptr));
        sink = acc;
    });
    std::printf("parse  %-22s parse_number %7.1f ns  strtod          %7.1f ns  ratio %.2f\n", name, ours, libc,
                ours / libc);
}

void compare_format(const char* name, const std::vector<double>& values, int repeat) {
    const std::size_t calls = values.size() * static_cast<std::size_t>(repeat);
    char text[32];
    const double ours = best_ns_per_call(calls, [&] {
        uint64_t acc = 0;
        for (int r = 0; r < repeat; ++r)
            for (double v : values) numtext::format_number(v, text), acc += static_cast<unsigned char>(text[15]);
        sink = acc;
    });
    const double libc = best_ns_per_call(calls, [&] {
        uint64_t acc = 0;
        for (int r = 0; r < repeat; ++r)
            for (double v : values) std::snprintf(text, sizeof text, "%.14E", v), acc += static_cast<unsigned char>(text[15]);
        sink = acc;
    });
    std::printf("format %-22s format_number %6.1f ns  snprintf %%.14E %7.1f ns  ratio %.2f\n", name, ours, libc,
                ours / libc);
}

}  // namespace

int main() {
    const std::vector<std::string> fields = {" 0.452", "546", "1.2E-2", " 35.31", "-0.012", "  99.9", "1000", " 0.000"};
    const std::vector<double> field_values = {0.452, 546, 1.2e-2, 35.31, -0.012, 99.9, 1000, 0};

    std::mt19937_64 random(12345);
    std::vector<double> doubles;
    std::vector<std::string> texts;
    while (doubles.size() < 100000) {
        const uint64_t bits = random();
        if ((bits >> 52 & 0x7FF) == 0x7FF) continue;
        double v;
        std::memcpy(&v, &bits, sizeof v);
        char t[32];
        std::snprintf(t, sizeof t, "%.17g", v);
        doubles.push_back(v);
        texts.emplace_back(t);
    }
    std::vector<std::string> formatted;  // what the driver's own text results look like
    for (double v : doubles) {
        char t[numtext::number_text_length];
        numtext::format_number(v, t);
        formatted.emplace_back(t, sizeof t);
    }

    compare_parse("reply fields", fields, 20000);
    compare_parse("random %.17g texts", texts, 2);
    compare_parse("random 23-char texts", formatted, 2);
    compare_format("reply field values", field_values, 20000);
    compare_format("random doubles", doubles, 2);
    return 0;
}

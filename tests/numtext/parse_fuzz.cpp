// libFuzzer target: parse_number on arbitrary bytes, held to an independent
// reading of the grammar and to glibc's correctly rounded strtod.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "numtext/numtext.hpp"
#include "reference_reader.hpp"

namespace {

uint64_t bits_of(double v) {
    uint64_t b;
    std::memcpy(&b, &v, sizeof b);
    return b;
}

void require(bool condition, const char* what, const std::string& text) {
    if (condition) return;
    std::fprintf(stderr, "%s for \"%.200s\" (%zu bytes)\n", what, text.c_str(), text.size());
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    const char* text = reinterpret_cast<const char*>(data);
    const std::string copy(text, size);  // NUL-terminated, for the other form
    const numtext::parsed_number p = numtext::parse_number(text, size);
    const numtext::parsed_number q = numtext::parse_number(copy.c_str());

    require(p.error_pos >= 0 && static_cast<std::size_t>(p.error_pos) <= size + 1, "error position out of range", copy);
    require(bits_of(p.value) == bits_of(q.value) && p.error_pos == q.error_pos, "the two forms differ", copy);

    const reference_reading r = read_reference(text, size);
    require((p.error_pos == 0) == r.ok, "accepted or refused against the grammar", copy);
    if (!r.ok) require(static_cast<std::size_t>(p.error_pos) == r.stop + 1, "wrong error position", copy);
    require(bits_of(p.value) == bits_of(reference_value(r)),
            r.ok ? "value differs from strtod" : "value on error differs from the digits read", copy);
    return 0;
}

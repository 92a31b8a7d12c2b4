#include "numtext/numtext.hpp"

namespace numtext {

std::size_t format_integer(int32_t value, char* out) {
    // Unsigned negation also covers -2147483648.
    uint32_t magnitude = value < 0 ? 0u - static_cast<uint32_t>(value) : static_cast<uint32_t>(value);
    char reversed[10];
    std::size_t count = 0;
    do {
        reversed[count++] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    std::size_t length = 0;
    if (value < 0) out[length++] = '-';
    while (count > 0) out[length++] = reversed[--count];
    return length;
}

}  // namespace numtext

// Raw bytes as lowercase hex text and back: how the simulator's control
// protocol carries bytes that may include NUL, CR, LF or 8-bit values.
// Shared by the simulator and its Windows client.
#pragma once

#include <optional>
#include <string>

inline std::string hex_encode(const std::string& bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string text;
    text.reserve(bytes.size() * 2);
    for (unsigned char b : bytes) {
        text += digits[b >> 4];
        text += digits[b & 15];
    }
    return text;
}

// Nothing when the text has an odd length or a character that is not a hex digit.
inline std::optional<std::string> hex_decode(const std::string& text) {
    auto nibble = [](char c) -> int {
        if (c >= '0' && c <= '9') return c - '0';
        if (c >= 'a' && c <= 'f') return c - 'a' + 10;
        if (c >= 'A' && c <= 'F') return c - 'A' + 10;
        return -1;
    };
    if (text.size() % 2 != 0) return std::nullopt;
    std::string bytes;
    bytes.reserve(text.size() / 2);
    for (std::size_t i = 0; i < text.size(); i += 2) {
        const int hi = nibble(text[i]), lo = nibble(text[i + 1]);
        if (hi < 0 || lo < 0) return std::nullopt;
        bytes += static_cast<char>(hi << 4 | lo);
    }
    return bytes;
}

// The reply log: a one-line file holding the last raw reply line.
#pragma once
#include <cstddef>
#include <cstdint>

namespace channels {

class reply_log {
public:
    virtual ~reply_log() = default;
    // Creates or empties the log, writes the bytes followed by CR LF and
    // closes it. Returns 0, or the operating system's error code of the
    // step that failed (the log is released whatever happened).
    virtual uint32_t rewrite(const uint8_t* bytes, std::size_t count) = 0;
};

// The message that goes with an error code of the reply log, in
// Windows-1252, NUL-terminated, written into text (at least 32 bytes).
constexpr std::size_t io_error_text_capacity = 40;
void io_error_text(uint32_t code, char* text);

}  // namespace channels

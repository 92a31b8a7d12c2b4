// The reply log as the file "memo.txt" in the current directory, and the
// error that ends a reading when it cannot be written.
#pragma once
#include "channels/reply_log.hpp"

namespace channels {

class file_reply_log final : public reply_log {
public:
    uint32_t rewrite(const uint8_t* bytes, std::size_t count) override;
};

// The library's one log.
file_reply_log& the_log();

// Code of the structured exception by which a failed reply log reaches the
// host; its parameters are the system's error code and the address of the
// NUL-terminated message text.
constexpr unsigned long IO_ERROR_EXCEPTION = 0xE0494F45;

// Raises that exception; does not return. Nothing may be held on the heap
// or as a handle by the frames it leaves.
[[noreturn]] void raise_io_error(uint32_t code);

}  // namespace channels

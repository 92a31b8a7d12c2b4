// The platform's serial operations that the link relies on, behind an
// interface so that the link's timing and line algorithms run the same over
// a real device and over a scripted one.
#pragma once
#include <cstddef>
#include <cstdint>

namespace serial {

class port_ops {
public:
    virtual ~port_ops() = default;
    // Milliseconds since some fixed start, wrapping at 2^32.
    virtual uint32_t tick_count() = 0;
    // Clears any pending line error and stores the number of received bytes
    // not yet read; false when the device cannot be asked.
    virtual bool clear_errors(uint32_t& in_queue) = 0;
    // Takes one received byte; false when no byte was read.
    virtual bool read_byte(uint8_t& byte) = 0;
    // Sends the bytes; failures are not reported.
    virtual void write(const uint8_t* bytes, std::size_t count) = 0;
};

}  // namespace serial

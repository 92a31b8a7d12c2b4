// The timed primitives of the serial link: everything the instrument
// channels do on the line goes through these.
#pragma once
#include <cstddef>
#include <cstdint>

#include "serial/port_ops.hpp"

namespace serial {

// Deadline of the polling reads, and the device's read and write timeouts.
constexpr uint16_t TIMEOUT_MS = 1000;

// A reply line without its carriage return. A real 1200-baud line delivers
// about 121 characters within the deadline; bytes beyond the capacity are
// read and dropped, so a device that floods cannot grow memory.
struct reply_line {
    static constexpr std::size_t capacity = 1024;
    uint8_t bytes[capacity];
    std::size_t length = 0;
};

void port_write(port_ops& port, const char* text, std::size_t length);
// Count of received bytes waiting (low 16 bits); 0 when the device cannot
// be asked, so that a drain loop always ends.
uint16_t port_waiting(port_ops& port);
// One byte, polled until TIMEOUT_MS has passed; false when none came.
bool port_read_byte(port_ops& port, uint8_t& byte);
// The bytes before the first carriage return received within TIMEOUT_MS of
// the call, or the empty line; whatever follows that carriage return stays
// queued.
void port_read_line(port_ops& port, reply_line& line);
// Discards what is already waiting, so that only the answer to the next
// command is read. Ends when nothing waits, when a byte cannot be read, or
// after TIMEOUT_MS, so that a device sending without pause cannot hold it.
void port_drain(port_ops& port);

}  // namespace serial

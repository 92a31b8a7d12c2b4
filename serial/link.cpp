#include "serial/link.hpp"

namespace serial {
namespace {

constexpr uint8_t CR = 13;

// Elapsed milliseconds since t0, correct across the wrap of the counter.
bool deadline_passed(port_ops& port, uint32_t t0) {
    return static_cast<int32_t>(port.tick_count() - t0) > static_cast<int32_t>(TIMEOUT_MS);
}

bool poll_byte(port_ops& port, uint8_t& byte) {
    return port_waiting(port) != 0 && port.read_byte(byte);
}

}  // namespace

void port_write(port_ops& port, const char* text, std::size_t length) {
    if (length != 0) port.write(reinterpret_cast<const uint8_t*>(text), length);
}

uint16_t port_waiting(port_ops& port) {
    uint32_t in_queue = 0;
    if (!port.clear_errors(in_queue)) return 0;
    return static_cast<uint16_t>(in_queue);
}

bool port_read_byte(port_ops& port, uint8_t& byte) {
    const uint32_t t0 = port.tick_count();
    for (;;) {
        if (poll_byte(port, byte)) return true;
        if (deadline_passed(port, t0)) return false;
    }
}

void port_read_line(port_ops& port, reply_line& line) {
    line.length = 0;
    const uint32_t t0 = port.tick_count();
    for (;;) {
        uint8_t byte;
        if (poll_byte(port, byte)) {
            if (byte == CR) return;
            if (line.length < reply_line::capacity) line.bytes[line.length++] = byte;
        }
        if (deadline_passed(port, t0)) break;
    }
    line.length = 0;  // no carriage return: a partial reply is dropped
}

void port_drain(port_ops& port) {
    const uint32_t t0 = port.tick_count();
    uint8_t byte;
    while (port_waiting(port) != 0 && port_read_byte(port, byte) && !deadline_passed(port, t0)) {
    }
}

}  // namespace serial

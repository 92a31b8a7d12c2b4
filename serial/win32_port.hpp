// The serial link over a Win32 communications device.
#pragma once
#include <windows.h>

#include "serial/port_ops.hpp"

namespace serial {

class win32_port final : public port_ops {
public:
    // Opens the device for exclusive use and sets its queues, line mode and
    // timeouts. Failures are silent: the port then stays without a device
    // and every read polls until its deadline.
    void open(const char* port_name, const char* port_mode);
    HANDLE handle() const { return port_handle; }

    uint32_t tick_count() override;
    bool clear_errors(uint32_t& in_queue) override;
    bool read_byte(uint8_t& byte) override;
    void write(const uint8_t* bytes, std::size_t count) override;

private:
    HANDLE port_handle = INVALID_HANDLE_VALUE;
};

// The library's one port, opened by the load sequence and never closed.
win32_port& the_port();

}  // namespace serial

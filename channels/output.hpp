// Analog output 0: the wavelength the instrument is sent to, and the
// host's last settings, read back without asking the instrument.
#pragma once
#include <cstdint>

#include "serial/port_ops.hpp"

namespace channels {

struct output_state {
    int32_t last_output = 0;      // last integer setting of channel 0
    double last_output_d = 0.0;   // last double setting of channel 0, as given
};

// Both record the value and send "G<n>\r" on channel 0 only; no answer is read.
void set_output(serial::port_ops& port, output_state& state, int32_t channel, int32_t value);
void set_output_d(serial::port_ops& port, output_state& state, int32_t channel, double value);

}  // namespace channels

#include "channels/output.hpp"

#include "numtext/numtext.hpp"
#include "serial/link.hpp"

namespace channels {
namespace {

void send_wavelength(serial::port_ops& port, int32_t nm) {
    char command[1 + numtext::integer_text_max + 1];
    command[0] = 'G';
    const std::size_t n = numtext::format_integer(nm, command + 1);
    command[1 + n] = '\r';
    serial::port_write(port, command, n + 2);
}

}  // namespace

void set_output(serial::port_ops& port, output_state& state, int32_t channel, int32_t value) {
    if (channel != 0) return;
    state.last_output = value;
    send_wavelength(port, value);
}

void set_output_d(serial::port_ops& port, output_state& state, int32_t channel, double value) {
    if (channel != 0) return;
    state.last_output_d = value;
    send_wavelength(port, numtext::round_to_int(value));
}

}  // namespace channels

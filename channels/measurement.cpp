#include "channels/measurement.hpp"

#include "channels/reply_fields.hpp"
#include "numtext/numtext.hpp"
#include "serial/link.hpp"

namespace channels {

reading measure(serial::port_ops& port, reply_log& log, int32_t channel) {
    serial::port_drain(port);
    if (channel == WAVELENGTH || channel == ABSORBANCE) serial::port_write(port, "A\r", 2);
    else if (channel == TRANSMISSION) serial::port_write(port, "T\r", 2);

    serial::reply_line line;
    serial::port_read_line(port, line);
    if (const uint32_t error = log.rewrite(line.bytes, line.length)) return {0.0, error};
    return {field_value(channel, line.bytes, line.length), 0};
}

int32_t scaled_reading(int32_t channel, double value) {
    return channel == WAVELENGTH ? numtext::round_to_int(value)
                                 : numtext::round_to_int_scaled(value, 100);
}

}  // namespace channels

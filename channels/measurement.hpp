// Asking the instrument for a reading.
#pragma once
#include <cstdint>

#include "channels/reply_log.hpp"
#include "serial/port_ops.hpp"

namespace channels {

struct reading {
    double value;          // the field's value, or NO_VALUE
    uint32_t log_error;    // 0, or the error that ended the reading while logging
};

// Drains the line, sends the channel's command (none for an unknown
// channel), reads the reply line, rewrites the log with it and reads the
// channel's field. When logging fails the reading ends there, unparsed.
reading measure(serial::port_ops& port, reply_log& log, int32_t channel);

// The reading as the integer form gives it: whole nanometres, hundredths of
// absorbance or transmission.
int32_t scaled_reading(int32_t channel, double value);

}  // namespace channels

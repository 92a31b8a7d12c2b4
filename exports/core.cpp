#include "exports/core.hpp"

#include "channels/file_reply_log.hpp"
#include "channels/measurement.hpp"
#include "channels/names.hpp"
#include "channels/output.hpp"
#include "channels/reply_fields.hpp"
#include "frame/settings.hpp"
#include "serial/win32_port.hpp"

using channels::NO_VALUE;

namespace {

channels::output_state output;
char title[channels::title_capacity];
char description[channels::description_capacity];

bool is_analog_input(int32_t channel) { return channel >= 0 && channel <= 2; }

}  // namespace

VJ_REGISTER double ead(int32_t channel) {
    const channels::reading r = channels::measure(serial::the_port(), channels::the_log(), channel);
    if (r.log_error != 0) channels::raise_io_error(r.log_error);
    return r.value;
}

VJ_REGISTER int32_t ea(int32_t channel) {
    if (!is_analog_input(channel)) return NO_VALUE;
    return channels::scaled_reading(channel, ead(channel));
}

VJ_REGISTER int32_t sa(int32_t channel, int32_t value) {
    channels::set_output(serial::the_port(), output, channel, value);
    return NO_VALUE;
}

VJ_REGISTER double sad(int32_t channel, double value) {
    channels::set_output_d(serial::the_port(), output, channel, value);
    return NO_VALUE;
}

VJ_REGISTER int32_t rsa(int32_t) { return output.last_output; }
VJ_REGISTER double rsad(int32_t) { return output.last_output_d; }

VJ_REGISTER const char* nea(int32_t channel) { return channels::input_name(channel); }
VJ_REGISTER const char* nead(int32_t channel) { return channels::input_name_d(channel); }
// Its stdcall and cdecl forms load only AX: the upper half is not looked at.
VJ_REGISTER const char* nsa(uint32_t channel) { return channels::output_name(narrow16(channel)); }
VJ_REGISTER const char* nsad(int32_t channel) { return channels::output_name(channel); }

// The instrument has no binary channels.
VJ_REGISTER int32_t eb(int32_t) { return NO_VALUE; }
VJ_REGISTER const char* neb(int32_t) { return channels::empty_name; }
VJ_REGISTER int32_t sb(int32_t, int32_t) { return NO_VALUE; }
VJ_REGISTER const char* nsb(int32_t) { return channels::empty_name; }
VJ_REGISTER int32_t rsb(int32_t) { return NO_VALUE; }

VJ_REGISTER const char* titre() {
    channels::build_title(frame::port_name, title);
    return title;
}

VJ_REGISTER const char* detail() {
    channels::build_description(frame::port_name, description);
    return description;
}

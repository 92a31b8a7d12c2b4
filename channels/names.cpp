#include "channels/names.hpp"

#include <cstring>

namespace channels {

const char empty_name[] = "";

namespace {

const char* pick(const char* const* names, std::size_t count, int32_t channel) {
    if (channel < 0 || static_cast<std::size_t>(channel) >= count) return empty_name;
    return names[channel];
}

char* append(char* out, const char* text) {
    const std::size_t n = std::strlen(text);
    std::memcpy(out, text, n);
    return out + n;
}

void end_text(char* out) {
    out[0] = '\0';
    out[1] = '\0';
}

}  // namespace

const char* input_name(int32_t channel) {
    static const char* const names[] = {"longueur d'onde (nm)", "absorption", "transmission"};
    return pick(names, 3, channel);
}

const char* input_name_d(int32_t channel) {
    static const char* const names[] = {"longueur d'onde (nm)", "Absorption", "Transmission"};
    return pick(names, 3, channel);
}

const char* output_name(int32_t channel) {
    static const char* const names[] = {"lambda (nm)"};
    return pick(names, 1, channel);
}

void build_title(const char* port_name, char* out) {
    out = append(out, "Jenway6320D, ");
    end_text(append(out, port_name));
}

void build_description(const char* port_name, char* out) {
    out = append(out, "DLL pour spectrophotom\xE8tre Jenway 6320D,");
    out = append(out, port_name);
    end_text(append(out, ", L. Morvandel, 4 octobre 2012"));
}

}  // namespace channels

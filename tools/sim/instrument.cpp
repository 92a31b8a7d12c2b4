#include "instrument.hpp"

#include <climits>
#include <cstdio>

namespace {

constexpr unsigned char kCR = 13;
constexpr int kDefaultWavelength = 546;
constexpr double kAbsorbance = 0.452;
constexpr double kTransmission = 35.31;
// No real command is longer; a longer run of bytes before a CR is noise
// and is ignored without keeping it all.
constexpr std::size_t kLongestCommand = 16;

bool is_command_letter(char cmd) { return cmd == 'A' || cmd == 'T' || cmd == 'G'; }

// A plain decimal integer with an optional minus sign, within int.
bool parse_integer(const std::string& text, int& value) {
    std::size_t i = text.size() > 0 && text[0] == '-' ? 1 : 0;
    if (i == text.size()) return false;
    long long v = 0;
    for (; i < text.size(); ++i) {
        if (text[i] < '0' || text[i] > '9') return false;
        v = v * 10 + (text[i] - '0');
    }
    if (text[0] == '-') v = -v;
    if (v < INT_MIN || v > INT_MAX) return false;
    value = static_cast<int>(v);
    return true;
}

}  // namespace

std::string instrument::take(unsigned char byte) {
    if (byte != kCR) {
        if (command_.size() <= kLongestCommand) command_ += static_cast<char>(byte);
        return {};
    }
    std::string cmd;
    cmd.swap(command_);
    if (cmd == "A" || cmd == "T") return answer(cmd[0]);
    int nm = 0;
    if (cmd.size() > 1 && cmd.size() <= kLongestCommand && cmd[0] == 'G' &&
        parse_integer(cmd.substr(1), nm)) {
        wavelength_ = nm;
        return answer('G');
    }
    return {};
}

std::string instrument::answer(char cmd) const {
    auto custom = custom_.find(cmd);
    if (custom != custom_.end()) return custom->second;
    char text[64];
    if (cmd == 'A') {
        std::snprintf(text, sizeof text, "%6.3f%5d\r", kAbsorbance, wavelength_);
        return text;
    }
    if (cmd == 'T') {
        std::snprintf(text, sizeof text, "%6.2f\r", kTransmission);
        return text;
    }
    return {};
}

bool instrument::set_reply(char cmd, const std::string& bytes) {
    if (!is_command_letter(cmd)) return false;
    custom_[cmd] = bytes;
    return true;
}

bool instrument::set_default_reply(char cmd) {
    if (!is_command_letter(cmd)) return false;
    custom_.erase(cmd);
    return true;
}

void instrument::reset() {
    command_.clear();
    wavelength_ = kDefaultWavelength;
    custom_.clear();
}

// The spectrophotometer's command interpreter: bytes from the line in,
// reply bytes out. Commands end with CR: "A" and "T" ask for a reading,
// "G<integer>" moves to a wavelength; anything else is ignored.
#pragma once

#include <map>
#include <string>

class instrument {
public:
    // Takes one byte from the line; when it completes an answered command,
    // returns the bytes to send back (empty: nothing to send).
    std::string take(unsigned char byte);

    // Answers command `cmd` ('A', 'T' or 'G') with exactly `bytes` from now
    // on (empty bytes: silence). False for any other command letter.
    bool set_reply(char cmd, const std::string& bytes);
    bool set_default_reply(char cmd);

    // Default replies, wavelength 546, no partial command.
    void reset();

    int wavelength() const { return wavelength_; }

private:
    std::string answer(char cmd) const;

    std::string command_;
    int wavelength_ = 546;
    std::map<char, std::string> custom_;
};

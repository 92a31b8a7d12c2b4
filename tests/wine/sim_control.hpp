// Drives a simulated instrument (tools/sim) from a Windows test program:
// one request line to its TCP control port on 127.0.0.1, one response
// line back ("ok[ <data>]" or "err <why>"). Bytes travel as hex.
#pragma once

#include <cstdint>
#include <string>

class sim_control {
public:
    // `port_variable`: the environment variable holding the control port,
    // e.g. "VJ_SIM1_PORT". A missing or unreachable simulator makes every
    // request answer "err ...".
    explicit sim_control(const char* port_variable);
    ~sim_control();
    sim_control(const sim_control&) = delete;
    sim_control& operator=(const sim_control&) = delete;

    // Sends one request line (without "\n"); returns the response line.
    std::string request(const std::string& line);
    // The last response, to explain a false result.
    const std::string& last_response() const { return last_; }

    bool reset();
    // From now on the instrument answers `cmd` ('A', 'T' or 'G') with exactly `bytes`.
    bool reply(char cmd, const std::string& bytes);
    bool reply_default(char cmd);
    bool silence(char cmd) { return reply(cmd, ""); }
    // Returns once the bytes have been written to the line.
    bool send(const std::string& bytes);
    // Sends the bytes `after_ms` from now, without waiting: a line the
    // instrument sends by itself while the caller is inside a call.
    bool send_later(const std::string& bytes, int after_ms);
    bool delay(int ms);
    bool pace(bool on);
    bool flood(bool on);
    // Every byte received from the line since the last reset or clear
    // (empty on failure too: see last_response()).
    std::string received();
    bool clear();
    // "baud=<n> data=<n> parity=<none|odd|even|mark|space> stop=<n>", or "" on failure.
    std::string line();
    // The current wavelength in nanometres as text, or "" on failure.
    std::string wavelength();
    // Plays an unplugged adapter: the port goes for the rest of the run.
    bool vanish();
    // The adapter goes `after_ms` from now, while the caller is inside a call.
    bool vanish_later(int after_ms);

private:
    const std::string& give_up(const char* why);
    bool ok(const std::string& line);
    std::string data(const std::string& line);

    std::uintptr_t socket_;  // a SOCKET, kept out of this header to spare winsock2.h
    std::string pending_;
    std::string last_;
};

#include "sim_control.hpp"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <cstdlib>

#include "tools/sim/hex.hpp"

namespace {

// Long enough for a paced "send" of a few hundred bytes; a simulator
// that never answers still ends in an error, not a hang.
constexpr DWORD kAnswerLimitMs = 30000;


// Once per process and never undone: under Wine, a WSACleanup that ends
// the last use and a later WSAStartup broke the process's own handles.
bool winsock_started() {
    static const bool started = [] {
        WSADATA wsa;
        return WSAStartup(MAKEWORD(2, 2), &wsa) == 0;
    }();
    return started;
}

}  // namespace

sim_control::sim_control(const char* port_variable) : socket_(INVALID_SOCKET) {
    const char* port = std::getenv(port_variable);
    const int number = port ? std::atoi(port) : 0;
    if (!winsock_started() || number <= 0 || number > 65535) return;

    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s == INVALID_SOCKET) return;
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<u_short>(number));
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (connect(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0) {
        closesocket(s);
        return;
    }
    const BOOL no_delay = TRUE;
    setsockopt(s, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&no_delay), sizeof no_delay);
    const DWORD limit = kAnswerLimitMs;
    setsockopt(s, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&limit), sizeof limit);
    socket_ = s;
}

sim_control::~sim_control() {
    if (socket_ != INVALID_SOCKET) closesocket(socket_);
}

std::string sim_control::request(const std::string& line) {
    if (socket_ == INVALID_SOCKET) return last_ = "err no simulator";
    const std::string out = line + "\n";
    for (std::size_t sent = 0; sent < out.size();) {
        const int n = ::send(socket_, out.data() + sent, static_cast<int>(out.size() - sent), 0);
        if (n <= 0) return last_ = "err cannot send to the simulator";
        sent += static_cast<std::size_t>(n);
    }
    for (;;) {
        const std::size_t end = pending_.find('\n');
        if (end != std::string::npos) {
            last_ = pending_.substr(0, end);
            pending_.erase(0, end + 1);
            return last_;
        }
        char buf[4096];
        const int n = recv(socket_, buf, sizeof buf, 0);
        if (n <= 0) {
            // The stream is out of step now: later requests must not read this answer.
            closesocket(socket_);
            socket_ = INVALID_SOCKET;
            return last_ = "err no answer from the simulator";
        }
        pending_.append(buf, static_cast<std::size_t>(n));
    }
}

bool sim_control::ok(const std::string& line) { return request(line) == "ok"; }

// The data of an "ok <data>" response; "" for "ok" alone or an error.
std::string sim_control::data(const std::string& line) {
    const std::string r = request(line);
    return r.compare(0, 3, "ok ") == 0 ? r.substr(3) : "";
}

bool sim_control::reset() { return ok("reset"); }

bool sim_control::reply(char cmd, const std::string& bytes) {
    return ok(std::string("reply ") + cmd + " " + hex_encode(bytes));
}

bool sim_control::reply_default(char cmd) { return ok(std::string("reply ") + cmd + " default"); }

bool sim_control::send(const std::string& bytes) { return ok("send " + hex_encode(bytes)); }

bool sim_control::delay(int ms) { return ok("delay " + std::to_string(ms)); }

bool sim_control::pace(bool on) { return ok(on ? "pace on" : "pace off"); }

bool sim_control::flood(bool on) { return ok(on ? "flood on" : "flood off"); }

std::string sim_control::received() { return hex_decode(data("received")).value_or(""); }

bool sim_control::clear() { return ok("clear"); }

std::string sim_control::line() { return data("line"); }

std::string sim_control::wavelength() { return data("wavelength"); }

bool sim_control::vanish() { return ok("vanish"); }

#include "sim_control.hpp"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <cstdlib>

#include "tools/sim/hex.hpp"

// The socket never blocks: it is polled with short sleeps. Under Wine on
// qemu-user, a blocking socket call (or a socket wait with a time limit)
// made while another thread waits, or after one has ended, crashed or hung
// the process; gtest keeps such a thread in every test program.

namespace {

constexpr DWORD kConnectLimitMs = 5000;
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

bool would_block() { return WSAGetLastError() == WSAEWOULDBLOCK; }

bool connected(SOCKET s, const sockaddr_in& addr) {
    if (connect(s, reinterpret_cast<const sockaddr*>(&addr), sizeof addr) == 0) return true;
    if (!would_block()) return false;
    for (const DWORD start = GetTickCount(); GetTickCount() - start <= kConnectLimitMs; Sleep(1)) {
        fd_set writable, failed;
        FD_ZERO(&writable);
        FD_SET(s, &writable);
        FD_ZERO(&failed);
        FD_SET(s, &failed);
        timeval now{0, 0};
        const int ready = select(0, nullptr, &writable, &failed, &now);
        if (ready < 0 || FD_ISSET(s, &failed)) return false;
        if (ready > 0) return true;
    }
    return false;
}

}  // namespace

sim_control::sim_control(const char* port_variable) : socket_(INVALID_SOCKET) {
    const char* port = std::getenv(port_variable);
    const int number = port ? std::atoi(port) : 0;
    if (!winsock_started() || number <= 0 || number > 65535) return;

    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    if (s == INVALID_SOCKET) return;
    u_long non_blocking = 1;
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<u_short>(number));
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (ioctlsocket(s, FIONBIO, &non_blocking) != 0 || !connected(s, addr)) {
        closesocket(s);
        return;
    }
    const BOOL no_delay = TRUE;
    setsockopt(s, IPPROTO_TCP, TCP_NODELAY, reinterpret_cast<const char*>(&no_delay), sizeof no_delay);
    socket_ = s;
}

sim_control::~sim_control() {
    if (socket_ != INVALID_SOCKET) closesocket(socket_);
}

std::string sim_control::request(const std::string& line) {
    if (socket_ == INVALID_SOCKET) return last_ = "err no simulator";
    const std::string out = line + "\n";
    const DWORD start = GetTickCount();
    auto waited_too_long = [&] { return GetTickCount() - start > kAnswerLimitMs; };
    for (std::size_t sent = 0; sent < out.size();) {
        const int n = ::send(socket_, out.data() + sent, static_cast<int>(out.size() - sent), 0);
        if (n > 0)
            sent += static_cast<std::size_t>(n);
        else if (!would_block() || waited_too_long())
            return give_up("err cannot send to the simulator");
        else
            Sleep(1);
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
        if (n > 0)
            pending_.append(buf, static_cast<std::size_t>(n));
        else if (n == 0 || !would_block() || waited_too_long())
            return give_up("err no answer from the simulator");
        else
            Sleep(1);
    }
}

// The stream is out of step now: later requests must not read this answer.
const std::string& sim_control::give_up(const char* why) {
    closesocket(socket_);
    socket_ = INVALID_SOCKET;
    return last_ = why;
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

bool sim_control::send_later(const std::string& bytes, int after_ms) {
    return ok("send " + hex_encode(bytes) + " " + std::to_string(after_ms));
}

bool sim_control::delay(int ms) { return ok("delay " + std::to_string(ms)); }

bool sim_control::pace(bool on) { return ok(on ? "pace on" : "pace off"); }

bool sim_control::flood(bool on) { return ok(on ? "flood on" : "flood off"); }

std::string sim_control::received() { return hex_decode(data("received")).value_or(""); }

bool sim_control::clear() { return ok("clear"); }

std::string sim_control::line() { return data("line"); }

std::string sim_control::wavelength() { return data("wavelength"); }

bool sim_control::vanish() { return ok("vanish"); }

bool sim_control::vanish_later(int after_ms) { return ok("vanish " + std::to_string(after_ms)); }

#include "simulator.hpp"

#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <stdexcept>

#include "hex.hpp"

namespace {

constexpr std::size_t kLongestRequest = 1 << 20;
constexpr std::size_t kReceivedKept = 1 << 16;  // at least this many of the latest bytes
constexpr std::size_t kMostClients = 16;
constexpr long kLongestDelayMs = 600000;
constexpr std::size_t kFloodChunk = 4096;
const std::string kFloodPattern = "0123456789";

nanos now_ns() {
    timespec ts;
    clock_gettime(CLOCK_MONOTONIC, &ts);
    return static_cast<nanos>(ts.tv_sec) * 1000000000 + ts.tv_nsec;
}

std::vector<std::string> split_words(const std::string& line) {
    std::vector<std::string> words;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = line.find(' ', start);
        words.push_back(line.substr(start, end - start));
        if (end == std::string::npos) return words;
        start = end + 1;
    }
}

std::optional<bool> on_off(const std::string& word) {
    if (word == "on") return true;
    if (word == "off") return false;
    return std::nullopt;
}

std::optional<long> milliseconds(const std::string& word) {
    if (word.empty() || word.size() > 7 ||
        !std::all_of(word.begin(), word.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return std::nullopt;
    const long ms = std::stol(word);
    if (ms > kLongestDelayMs) return std::nullopt;
    return ms;
}

std::string ok_with(const std::string& data) { return data.empty() ? "ok" : "ok " + data; }

}  // namespace

simulator::simulator(pty_line& line, int listener, int signals, bool verbose)
    : line_(line), listener_(listener), signals_(signals), verbose_(verbose) {}

simulator::~simulator() {
    for (const client& c : clients_) close(c.fd);
}

void simulator::run() {
    while (!quit_) {
        const nanos now = now_ns();
        if (vanish_at_ >= 0 && vanish_at_ <= now) {
            vanish_at_ = -1;
            lose_line();
        }
        act_on_input(now);
        release_replies(now);
        write_output(now);
        wait_for_events();
        clients_.remove_if([](const client& c) {
            if (c.dead) close(c.fd);
            return c.dead;
        });
    }
}

void simulator::wait_for_events() {
    std::vector<pollfd> fds;
    fds.push_back({signals_, POLLIN, 0});
    fds.push_back({listener_, POLLIN, 0});
    const short line_events = static_cast<short>(POLLIN | (blocked_ ? POLLOUT : 0));
    fds.push_back({line_.is_open() ? line_.master() : -1, line_events, 0});
    for (const client& c : clients_) fds.push_back({c.fd, POLLIN, 0});

    timespec timeout{}, *until = nullptr;
    const nanos deadline = next_deadline();
    if (deadline >= 0) {
        const nanos wait = std::max<nanos>(0, deadline - now_ns());
        timeout.tv_sec = wait / 1000000000;
        timeout.tv_nsec = wait % 1000000000;
        until = &timeout;
    }
    if (ppoll(fds.data(), fds.size(), until, nullptr) < 0) {
        if (errno == EINTR) return;
        throw std::runtime_error(std::string("poll: ") + std::strerror(errno));
    }
    if (fds[0].revents) {
        quit_ = true;
        return;
    }
    // The line before the clients, so that a request sees the bytes that came before it.
    if (fds[2].revents) read_line();
    for (std::size_t i = 3; i < fds.size(); ++i) {
        if (!fds[i].revents) continue;
        for (client& c : clients_)
            if (c.fd == fds[i].fd && !c.dead) read_client(c);
    }
    if (fds[1].revents & POLLIN) accept_client();
}

nanos simulator::next_deadline() const {
    nanos deadline = -1;
    auto consider = [&](nanos t) { deadline = deadline < 0 ? t : std::min(deadline, t); };
    if (!pending_in_.empty()) consider(pending_in_.front().first);
    if (!replies_.empty()) consider(replies_.begin()->first);
    if (vanish_at_ >= 0) consider(vanish_at_);
    if (pace_ && line_.is_open() && has_output()) consider(out_clock_.next(output_ready()));
    return deadline;
}

void simulator::read_line() {
    if (!line_.is_open()) return;
    for (;;) {
        unsigned char buf[4096];
        const ssize_t n = read(line_.master(), buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno == EAGAIN) return;
        if (n <= 0) {
            lose_line();
            return;
        }
        const nanos now = now_ns();
        for (ssize_t i = 0; i < n; ++i) {
            received_ += static_cast<char>(buf[i]);
            nanos crossed = now;
            if (pace_) {
                crossed = in_clock_.next(now);
                in_clock_.sent(now);
            }
            pending_in_.emplace_back(crossed, buf[i]);
        }
        if (received_.size() >= 2 * kReceivedKept) received_.erase(0, received_.size() - kReceivedKept);
        log("line in " + hex_encode(std::string(reinterpret_cast<char*>(buf), static_cast<std::size_t>(n))));
    }
}

void simulator::act_on_input(nanos now) {
    while (!pending_in_.empty() && pending_in_.front().first <= now) {
        const auto [crossed, byte] = pending_in_.front();
        pending_in_.pop_front();
        std::string reply = instrument_.take(byte);
        if (!reply.empty()) replies_.emplace(crossed + delay_, std::move(reply));
    }
}

void simulator::release_replies(nanos now) {
    while (!replies_.empty() && replies_.begin()->first <= now) {
        out_.push_back({replies_.begin()->second, 0, replies_.begin()->first, 0});
        replies_.erase(replies_.begin());
    }
}

void simulator::write_output(nanos now) {
    blocked_ = false;
    std::vector<std::uint64_t> acks;
    while (line_.is_open() && has_output()) {
        std::size_t limit = kFloodChunk;
        if (pace_) {
            if (out_clock_.next(output_ready()) > now) break;
            limit = 1;
        }
        const std::string bytes = peek_output(limit);
        const ssize_t n = write(line_.master(), bytes.data(), bytes.size());
        if (n < 0 && errno == EINTR) continue;
        if (n < 0 && errno == EAGAIN) {
            blocked_ = true;
            if (pace_) out_clock_.hold_until(now);
            break;
        }
        if (n <= 0) {
            lose_line();
            break;
        }
        if (pace_) out_clock_.sent(output_ready());
        log("line out " + hex_encode(bytes.substr(0, static_cast<std::size_t>(n))));
        consume_output(static_cast<std::size_t>(n), acks);
    }
    finish_sends(acks, "ok");
}

std::string simulator::peek_output(std::size_t limit) const {
    if (!out_.empty()) return out_.front().bytes.substr(out_.front().done, limit);
    std::string bytes;
    for (std::size_t i = 0; i < limit; ++i) bytes += kFloodPattern[(flood_pos_ + i) % kFloodPattern.size()];
    return bytes;
}

void simulator::consume_output(std::size_t n, std::vector<std::uint64_t>& acks) {
    if (out_.empty()) {
        flood_pos_ = (flood_pos_ + n) % kFloodPattern.size();
        return;
    }
    chunk& head = out_.front();
    head.done += n;
    if (head.done < head.bytes.size()) return;
    if (head.ack) acks.push_back(head.ack);
    out_.pop_front();
}

// Bytes in flight that will never arrive; the senders of output get `why`
// instead of "ok".
void simulator::discard_traffic(const std::string& why) {
    std::vector<std::uint64_t> senders;
    for (const chunk& c : out_)
        if (c.ack) senders.push_back(c.ack);
    out_.clear();
    replies_.clear();
    pending_in_.clear();
    finish_sends(senders, why);
}

// Answers the clients whose "send" is over, then serves what they asked next.
void simulator::finish_sends(const std::vector<std::uint64_t>& senders, const std::string& response) {
    for (std::uint64_t id : senders) {
        if (client* c = find_client(id)) {
            c->waiting = false;
            respond(*c, response);
            serve(*c);
        }
    }
}

void simulator::lose_line() {
    line_.unplug();
    flood_ = false;
    discard_traffic("err gone");
    log("line gone");
}

void simulator::accept_client() {
    const int fd = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0) return;
    if (clients_.size() >= kMostClients) {
        close(fd);
        return;
    }
    const int one = 1;
    setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    // A client that stops reading must not stall the instrument for long.
    const timeval send_limit{5, 0};
    setsockopt(fd, SOL_SOCKET, SO_SNDTIMEO, &send_limit, sizeof send_limit);
    clients_.push_back({fd, next_id_++, {}});
}

void simulator::read_client(client& c) {
    char buf[65536];
    const ssize_t n = recv(c.fd, buf, sizeof buf, 0);
    if (n < 0 && errno == EINTR) return;
    if (n <= 0) {
        c.dead = true;
        return;
    }
    c.in.append(buf, static_cast<std::size_t>(n));
    serve(c);
}

void simulator::serve(client& c) {
    while (!c.waiting && !c.dead && !quit_) {
        const std::size_t end = c.in.find('\n');
        if (end == std::string::npos) {
            if (c.in.size() > kLongestRequest) {
                c.in.clear();
                c.discarding = true;
            }
            return;
        }
        std::string request = c.in.substr(0, end);
        c.in.erase(0, end + 1);
        if (c.discarding) {
            c.discarding = false;
            respond(c, "err request too long");
            continue;
        }
        if (!request.empty() && request.back() == '\r') request.pop_back();
        log("request " + request);
        const std::optional<std::string> response = handle(request, c);
        if (response)
            respond(c, *response);
        else
            c.waiting = true;
    }
}

void simulator::respond(client& c, const std::string& line) {
    log("response " + line);
    const std::string out = line + "\n";
    std::size_t sent = 0;
    while (sent < out.size()) {
        const ssize_t n = send(c.fd, out.data() + sent, out.size() - sent, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            c.dead = true;
            return;
        }
        sent += static_cast<std::size_t>(n);
    }
}

simulator::client* simulator::find_client(std::uint64_t id) {
    for (client& c : clients_)
        if (c.id == id && !c.dead) return &c;
    return nullptr;
}

// Returns the response, or nothing when it comes later (a "send" that is
// still going out).
std::optional<std::string> simulator::handle(const std::string& request, client& c) {
    using words = std::vector<std::string>;
    using action = std::optional<std::string> (*)(simulator&, const words&, client&);
    struct verb {
        const char* name;
        std::size_t most_args;
        bool needs_line;
        action run;
    };
    static const verb verbs[] = {
        {"reset", 0, true,
         [](simulator& s, const words&, client&) -> std::optional<std::string> {
             s.line_.discard_pending();
             s.discard_traffic("err reset");
             s.in_clock_ = s.out_clock_ = line_clock{};
             s.instrument_.reset();
             s.received_.clear();
             s.delay_ = 0;
             s.vanish_at_ = -1;
             s.pace_ = s.flood_ = false;
             return "ok";
         }},
        {"reply", 2, true,
         [](simulator& s, const words& w, client&) -> std::optional<std::string> {
             if (w.size() < 2 || w[1].size() != 1) return "err expected reply A|T|G <hex>|default";
             const char cmd = w[1][0];
             const std::string arg = w.size() > 2 ? w[2] : "";
             bool known;
             if (arg == "default") {
                 known = s.instrument_.set_default_reply(cmd);
             } else {
                 const std::optional<std::string> bytes = hex_decode(arg);
                 if (!bytes) return "err bad hex";
                 known = s.instrument_.set_reply(cmd, *bytes);
             }
             return known ? "ok" : "err unknown command";
         }},
        {"send", 2, true,
         [](simulator& s, const words& w, client& c) -> std::optional<std::string> {
             const std::optional<std::string> bytes = hex_decode(w.size() > 1 ? w[1] : "");
             if (!bytes) return "err bad hex";
             if (bytes->empty()) return "ok";
             // "send <hex> <ms>": goes out that much later, like a line the
             // instrument sends by itself; answered at once.
             if (w.size() > 2) {
                 const std::optional<long> ms = milliseconds(w[2]);
                 if (!ms) return "err expected send <hex> [<ms>]";
                 s.replies_.emplace(now_ns() + static_cast<nanos>(*ms) * 1000000, *bytes);
                 return "ok";
             }
             s.out_.push_back({*bytes, 0, now_ns(), c.id});
             return std::nullopt;
         }},
        {"delay", 1, true,
         [](simulator& s, const words& w, client&) -> std::optional<std::string> {
             const std::optional<long> ms = milliseconds(w.size() > 1 ? w[1] : "");
             if (!ms) return "err expected delay <0.." + std::to_string(kLongestDelayMs) + ">";
             s.delay_ = static_cast<nanos>(*ms) * 1000000;
             return "ok";
         }},
        {"pace", 1, true,
         [](simulator& s, const words& w, client&) -> std::optional<std::string> {
             const std::optional<bool> on = on_off(w.size() > 1 ? w[1] : "");
             if (!on) return "err expected on or off";
             s.pace_ = *on;
             return "ok";
         }},
        {"flood", 1, true,
         [](simulator& s, const words& w, client&) -> std::optional<std::string> {
             const std::optional<bool> on = on_off(w.size() > 1 ? w[1] : "");
             if (!on) return "err expected on or off";
             if (*on && !s.flood_) s.flood_since_ = now_ns();
             s.flood_ = *on;
             return "ok";
         }},
        {"received", 0, false,
         [](simulator& s, const words&, client&) -> std::optional<std::string> {
             s.read_line();
             return ok_with(hex_encode(s.received_));
         }},
        {"clear", 0, false,
         [](simulator& s, const words&, client&) -> std::optional<std::string> {
             s.read_line();
             s.received_.clear();
             return "ok";
         }},
        {"line", 0, true,
         [](simulator& s, const words&, client&) -> std::optional<std::string> {
             return ok_with(s.line_.settings());
         }},
        {"wavelength", 0, false,
         [](simulator& s, const words&, client&) -> std::optional<std::string> {
             return ok_with(std::to_string(s.instrument_.wavelength()));
         }},
        {"vanish", 1, true,
         [](simulator& s, const words& w, client&) -> std::optional<std::string> {
             // "vanish <ms>": the adapter goes that much later, during a call.
             if (w.size() > 1) {
                 const std::optional<long> ms = milliseconds(w[1]);
                 if (!ms) return "err expected vanish [<ms>]";
                 s.vanish_at_ = now_ns() + static_cast<nanos>(*ms) * 1000000;
                 return "ok";
             }
             s.lose_line();
             return "ok";
         }},
        {"quit", 0, false,
         [](simulator& s, const words&, client&) -> std::optional<std::string> {
             s.quit_ = true;
             return "ok";
         }},
    };
    const words w = split_words(request);
    for (const verb& v : verbs) {
        if (w[0] != v.name) continue;
        if (w.size() - 1 > v.most_args) return "err too many arguments";
        if (v.needs_line && !line_.is_open()) return "err gone";
        return v.run(*this, w, c);
    }
    return "err unknown request";
}

void simulator::log(const std::string& what) const {
    if (!verbose_) return;
    std::printf("%s\n", what.c_str());
    std::fflush(stdout);
}

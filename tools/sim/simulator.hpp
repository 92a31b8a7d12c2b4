// The simulated instrument on its serial line, driven over a local TCP
// control connection; one thread, one poll loop. Request lines end with
// "\n" and each gets one response line, "ok[ <data>]" or "err <why>".
#pragma once

#include <cstdint>
#include <deque>
#include <list>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "instrument.hpp"
#include "line_clock.hpp"
#include "pty_line.hpp"

class simulator {
public:
    // `listener`: a listening TCP socket; `signals`: a descriptor that turns
    // readable when the simulator must stop.
    simulator(pty_line& line, int listener, int signals, bool verbose);
    ~simulator();
    simulator(const simulator&) = delete;
    simulator& operator=(const simulator&) = delete;

    // Serves until a stop signal or a "quit" request.
    void run();

private:
    struct client {
        int fd;
        std::uint64_t id;
        std::string in;
        bool discarding = false;  // the request being read is too long
        bool waiting = false;     // its "send" is still going out
        bool dead = false;
    };
    struct chunk {
        std::string bytes;
        std::size_t done;
        nanos ready;
        std::uint64_t ack;  // client to answer when all is written, 0: none
    };

    void wait_for_events();
    nanos next_deadline() const;
    void read_line();
    void act_on_input(nanos now);
    void release_replies(nanos now);
    void write_output(nanos now);
    bool has_output() const { return !out_.empty() || flood_; }
    nanos output_ready() const { return out_.empty() ? flood_since_ : out_.front().ready; }
    std::string peek_output(std::size_t limit) const;
    void consume_output(std::size_t n, std::vector<std::uint64_t>& acks);
    void discard_traffic(const std::string& why);
    void finish_sends(const std::vector<std::uint64_t>& senders, const std::string& response);
    void lose_line();

    void accept_client();
    void read_client(client& c);
    void serve(client& c);
    void respond(client& c, const std::string& line);
    client* find_client(std::uint64_t id);
    std::optional<std::string> handle(const std::string& request, client& c);
    void log(const std::string& what) const;

    pty_line& line_;
    int listener_;
    int signals_;
    bool verbose_;
    bool quit_ = false;

    instrument instrument_;
    std::string received_;
    std::deque<std::pair<nanos, unsigned char>> pending_in_;  // when each byte has crossed
    std::multimap<nanos, std::string> replies_;               // by the time they are due
    std::deque<chunk> out_;
    line_clock in_clock_, out_clock_;
    bool blocked_ = false;  // the line takes no more output for now
    bool pace_ = false;
    bool flood_ = false;
    nanos flood_since_ = 0;
    std::size_t flood_pos_ = 0;
    nanos delay_ = 0;
    nanos vanish_at_ = -1;  // a scheduled unplugging, or -1

    std::list<client> clients_;
    std::uint64_t next_id_ = 1;
};

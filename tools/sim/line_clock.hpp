// Times one direction of a 1200-baud line carrying 10 bit times a
// character: when each character has crossed it. Characters sent back to
// back keep an absolute schedule, start + k * 25/3 ms, so late wake-ups
// do not add up.
#pragma once

#include <cstdint>

using nanos = std::int64_t;

class line_clock {
public:
    // When a character ready to go at `ready` will have crossed, if it is sent next.
    nanos next(nanos ready) const {
        return ready >= done_ ? ready + span(1) : start_ + span(sent_ + 1);
    }
    // Records that the character ready at `ready` was sent.
    void sent(nanos ready) {
        if (ready >= done_) {
            start_ = ready;
            sent_ = 0;
        }
        done_ = start_ + span(++sent_);
    }
    // Nothing crosses before `t`: the far end stopped taking characters.
    void hold_until(nanos t) {
        start_ = done_ = t;
        sent_ = 0;
    }

private:
    static nanos span(std::int64_t chars) { return chars * 25'000'000 / 3; }

    nanos start_ = 0;
    nanos done_ = 0;
    std::int64_t sent_ = 0;
};

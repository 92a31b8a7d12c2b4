// A scripted serial device on a simulated millisecond clock: every
// `looks_per_tick` looks at the clock advance it by one tick, and each
// received byte becomes readable at its arrival time.
#pragma once
#include <cstdint>
#include <deque>
#include <string>
#include <utility>

#include "serial/port_ops.hpp"

class fake_port : public serial::port_ops {
public:
    uint32_t now = 0;
    uint32_t looks_per_tick = 1;
    bool unplugged = false;     // clear_errors fails from then on
    bool reads_fail = false;    // bytes are reported waiting but cannot be read
    std::string written;

    // Bytes that arrive from `at` on, `spacing` ticks apart.
    void arrive(const std::string& bytes, uint32_t at, uint32_t spacing = 1) {
        for (char c : bytes) {
            incoming.emplace_back(at, static_cast<uint8_t>(c));
            at += spacing;
        }
    }
    void arrive_now(const std::string& bytes) { arrive(bytes, now); }
    std::string queued() const {
        std::string s;
        for (const auto& [at, byte] : incoming) s += static_cast<char>(byte);
        return s;
    }

    uint32_t tick_count() override {
        if (++looks % looks_per_tick == 0) ++now;
        return now;
    }
    bool clear_errors(uint32_t& in_queue) override {
        if (unplugged) return false;
        in_queue = 0;
        for (const auto& [at, byte] : incoming) in_queue += static_cast<int32_t>(now - at) >= 0;
        return true;
    }
    bool read_byte(uint8_t& byte) override {
        if (reads_fail || incoming.empty() || static_cast<int32_t>(now - incoming.front().first) < 0)
            return false;
        byte = incoming.front().second;
        incoming.pop_front();
        return true;
    }
    void write(const uint8_t* bytes, std::size_t count) override {
        written.append(reinterpret_cast<const char*>(bytes), count);
    }

private:
    uint32_t looks = 0;
    std::deque<std::pair<uint32_t, uint8_t>> incoming;
};

#include <gtest/gtest.h>

#include <string>

#include "fake_port.hpp"
#include "serial/link.hpp"

using serial::TIMEOUT_MS;

namespace {

struct read_outcome {
    std::string line;
    uint32_t elapsed;
};

read_outcome read_line(fake_port& port) {
    const uint32_t start = port.now;
    serial::reply_line line;
    serial::port_read_line(port, line);
    return {std::string(reinterpret_cast<const char*>(line.bytes), line.length), port.now - start};
}

}  // namespace

TEST(ReadLine, TakesTheBytesBeforeTheCarriageReturn) {
    struct { std::string sent, line, left_queued; } cases[] = {
        {"0.452\r", "0.452", ""},
        {"\r", "", ""},
        {"abc\r\n", "abc", "\n"},
        {"one\rtwo\r", "one", "two\r"},
        {std::string("a\0b\xe8\r", 5), std::string("a\0b\xe8", 4), ""},
    };
    for (const auto& c : cases) {
        fake_port port;
        port.arrive(c.sent, 5);
        const read_outcome r = read_line(port);
        EXPECT_EQ(r.line, c.line) << c.sent;
        EXPECT_LT(r.elapsed, 100u) << "a complete line returns at once";
        EXPECT_EQ(port.queued(), c.left_queued);
    }
}

TEST(ReadLine, WithoutCarriageReturnGivesEmptyLineJustAfterTheDeadline) {
    fake_port port;
    port.arrive("abc", 5);
    const read_outcome r = read_line(port);
    EXPECT_EQ(r.line, "");
    EXPECT_GT(r.elapsed, TIMEOUT_MS);
    EXPECT_LE(r.elapsed, TIMEOUT_MS + 3u);
    EXPECT_EQ(port.queued(), "") << "the partial reply is consumed";
}

TEST(ReadLine, DeadlineCountsFromTheStartNotFromTheLastByte) {
    fake_port port;
    for (uint32_t t = 0; t < 3000; t += 10) port.arrive("x", t);
    const read_outcome r = read_line(port);
    EXPECT_EQ(r.line, "");
    EXPECT_LE(r.elapsed, TIMEOUT_MS + 3u);
}

TEST(ReadLine, DeadlineAcrossTheTickCounterWrapStillLastsTheTimeout) {
    fake_port port;
    port.now = 0xFFFFFF00u;
    port.arrive("late\r", 0xFFFFFF00u + 900);  // after the wrap, within the deadline
    EXPECT_EQ(read_line(port).line, "late");

    port.now = 0xFFFFFFF0u;
    const read_outcome r = read_line(port);
    EXPECT_GT(r.elapsed, TIMEOUT_MS);
    EXPECT_LE(r.elapsed, TIMEOUT_MS + 3u);
}

TEST(ReadLine, LineLongerThanItsCapacityKeepsTheStartAndStillEndsAtTheCarriageReturn) {
    fake_port port;
    port.looks_per_tick = 10;  // a fast device: many bytes per millisecond
    std::string flood(5000, 'y');
    flood[0] = 'S';
    port.arrive(flood + "\rnext", 1, 0);
    const read_outcome r = read_line(port);
    ASSERT_EQ(r.line.size(), serial::reply_line::capacity);
    EXPECT_EQ(r.line[0], 'S');
    EXPECT_EQ(port.queued(), "next");
}

TEST(ReadLine, UnpluggedDeviceGivesEmptyLineAtTheDeadline) {
    fake_port port;
    port.arrive("abc\r", 1);
    port.unplugged = true;
    EXPECT_EQ(serial::port_waiting(port), 0);
    const read_outcome r = read_line(port);
    EXPECT_EQ(r.line, "");
    EXPECT_LE(r.elapsed, TIMEOUT_MS + 3u);
}

TEST(ReadByte, WaitsForAByteUntilTheDeadline) {
    fake_port port;
    port.arrive("Z", 500);
    uint8_t byte = 0;
    EXPECT_TRUE(serial::port_read_byte(port, byte));
    EXPECT_EQ(byte, 'Z');

    const uint32_t start = port.now;
    EXPECT_FALSE(serial::port_read_byte(port, byte));
    EXPECT_GT(port.now - start, TIMEOUT_MS);
    EXPECT_LE(port.now - start, TIMEOUT_MS + 3u);
}

TEST(Drain, DiscardsWhatIsWaitingAndNothingLater) {
    fake_port port;
    port.arrive("stale\r\n", 0);
    port.now = 50;
    port.arrive("reply\r", 10000);
    serial::port_drain(port);
    EXPECT_EQ(port.queued(), "reply\r");
    EXPECT_LT(port.now, 100u);
}

TEST(Drain, EndsWhenBytesCannotBeReadOrKeepComing) {
    fake_port stuck;
    stuck.arrive("abc", 0);
    stuck.reads_fail = true;
    serial::port_drain(stuck);
    EXPECT_LE(stuck.now, 2 * TIMEOUT_MS + 10u);

    fake_port flooding;
    for (uint32_t t = 0; t < 100000; ++t) flooding.arrive("x", t);
    serial::port_drain(flooding);
    EXPECT_LE(flooding.now, 2 * TIMEOUT_MS + 10u);
}

TEST(Write, SendsTheBytesUnchangedAndNothingForAnEmptyText) {
    fake_port port;
    serial::port_write(port, "G550\r", 5);
    serial::port_write(port, "", 0);
    serial::port_write(port, "\xe8\0", 2);
    EXPECT_EQ(port.written, std::string("G550\r\xe8\0", 7));
}

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "channels/measurement.hpp"
#include "channels/reply_fields.hpp"
#include "fake_port.hpp"

using channels::NO_VALUE;

namespace {

struct fake_log : channels::reply_log {
    std::string content = "untouched";
    uint32_t error = 0;
    int rewrites = 0;
    uint32_t rewrite(const uint8_t* bytes, std::size_t count) override {
        ++rewrites;
        content.assign(reinterpret_cast<const char*>(bytes), count);
        content += "\r\n";
        return error;
    }
};

// One reading with the instrument answering `reply` just after the command.
channels::reading read_channel(int32_t channel, const std::string& reply, fake_port& port, fake_log& log) {
    port.arrive(reply, port.now + 20);
    return channels::measure(port, log, channel);
}

double value_of(int32_t channel, const std::string& reply) {
    fake_port port;
    fake_log log;
    return read_channel(channel, reply, port, log).value;
}

}  // namespace

TEST(Fields, ValueIsTakenFromFixedCharacters) {
    struct { int32_t channel; std::string reply; double value; } cases[] = {
        {1, " 0.452 546\r", 0.452},
        {0, " 0.452 546\r", 546.0},
        {2, " 35.31\r", 35.31},
        {1, "0.45  546\r", NO_VALUE},      // nothing may follow the number
        {1, "1.2E-2     \r", 0.012},
        {0, "      546nm\r", 546.0},
        {0, "      546,5\r", 5465.0},       // the comma is dropped
        {0, "      5.4E2\r", 5.42},         // so is the E
        {0, "      54/6 \r", NO_VALUE},
        {0, "1234\r", NO_VALUE},            // shorter than the field's start
        {1, "1234\r", 1234.0},
        {2, "-12\r", -12.0},
        {3, "  7.5\r", 7.5},                // an unknown channel reads the whole line
        {1, "\r", NO_VALUE},
        {1, "1e400\r", HUGE_VAL},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(value_of(c.channel, c.reply), c.value) << c.channel << " '" << c.reply << "'";
    }
}

TEST(Fields, KeepNumericKeepsSignsPointSlashAndDigits) {
    char text[] = "a+1-2.3/4,5 6E7:";
    const std::size_t n = channels::keep_numeric(text, sizeof text - 1);
    EXPECT_EQ(std::string(text, n), "+1-2.3/4567");
}

TEST(Measure, SendsTheChannelsCommandOnlyAfterDrainingStaleBytes) {
    struct { int32_t channel; std::string command; } cases[] = {
        {0, "A\r"}, {1, "A\r"}, {2, "T\r"}, {3, ""}, {-1, ""},
    };
    for (const auto& c : cases) {
        fake_port port;
        fake_log log;
        port.arrive_now("99.999\r\n");  // a late reply to an earlier call
        const channels::reading r = read_channel(c.channel, " 0.100  500\r", port, log);
        EXPECT_EQ(port.written, c.command) << c.channel;
        if (c.channel == 1) EXPECT_EQ(r.value, 0.1);
        EXPECT_EQ(log.content, " 0.100  500\r\n");
    }
}

TEST(Measure, TimeoutLogsAnEmptyLineAndGivesNoValue) {
    fake_port port;
    fake_log log;
    const channels::reading r = channels::measure(port, log, 1);
    EXPECT_EQ(r.value, NO_VALUE);
    EXPECT_EQ(r.log_error, 0u);
    EXPECT_EQ(log.content, "\r\n");
    EXPECT_GT(port.now, 1000u);
}

TEST(Measure, LogsTheWholeRawLineEvenWhenItIsNotANumber) {
    fake_port port;
    fake_log log;
    const std::string raw("ERR\0\xe8 bad line", 14);
    EXPECT_EQ(read_channel(1, raw + "\r\n", port, log).value, NO_VALUE);
    EXPECT_EQ(log.content, raw + "\r\n");
}

TEST(Measure, LogFailureEndsTheReadingAfterTheReplyIsConsumed) {
    fake_port port;
    fake_log log;
    log.error = 5;
    const channels::reading r = read_channel(1, " 0.452 546\r", port, log);
    EXPECT_EQ(r.log_error, 5u);
    EXPECT_EQ(port.written, "A\r");
    EXPECT_EQ(port.queued(), "");
}

TEST(Measure, IntegerFormScalesAndRoundsHalvesToEven) {
    struct { int32_t channel; double value; int32_t scaled; } cases[] = {
        {1, 0.452, 45}, {1, 0.125, 12}, {1, 0.375, 38}, {0, 546.5, 546}, {0, 547.5, 548},
        {1, 0.012, 1}, {0, NO_VALUE, -777}, {1, NO_VALUE, -77700}, {2, NO_VALUE, -77700},
        {1, 1e300, INT32_MIN}, {0, HUGE_VAL, INT32_MIN},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(channels::scaled_reading(c.channel, c.value), c.scaled) << c.channel << " " << c.value;
    }
}

// Proves the test rig without the driver: a Windows program opens the
// simulated instruments' ports through Wine, sets the line and talks to them.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "sim_control.hpp"

namespace {

HANDLE create(const char* name) {
    return CreateFileA(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                       nullptr);
}

// Opened and set to 1200 baud, 7 data bits, odd parity, 1 stop bit.
HANDLE open_port(const char* name) {
    HANDLE port = create(name);
    if (port == INVALID_HANDLE_VALUE) return port;
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    dcb.BaudRate = 1200;
    dcb.fBinary = TRUE;
    dcb.fParity = TRUE;
    dcb.ByteSize = 7;
    dcb.Parity = ODDPARITY;
    dcb.StopBits = ONESTOPBIT;
    COMMTIMEOUTS timeouts{};
    timeouts.ReadTotalTimeoutConstant = 100;
    timeouts.WriteTotalTimeoutConstant = 1000;
    if (!SetCommState(port, &dcb) || !SetCommTimeouts(port, &timeouts)) {
        CloseHandle(port);
        return INVALID_HANDLE_VALUE;
    }
    return port;
}

double now_ms() {
    LARGE_INTEGER count, frequency;
    QueryPerformanceCounter(&count);
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(count.QuadPart) / static_cast<double>(frequency.QuadPart);
}

std::string all_byte_values() {
    std::string bytes;
    for (int b = 0; b < 256; ++b) bytes += static_cast<char>(b);
    return bytes;
}

// The port is opened and set once, as the driver does: on a pty, setting
// a line that is already set fails (the pty cannot take 7 data bits or
// parity, so nothing changes and Linux reports an invalid argument).
class Rig : public ::testing::Test {
protected:
    static void SetUpTestSuite() { port = open_port("com1:"); }
    static void TearDownTestSuite() { CloseHandle(port); }

    void SetUp() override {
        ASSERT_NE(port, INVALID_HANDLE_VALUE) << "com1: did not open";
        ASSERT_TRUE(sim.reset()) << sim.last_response();
    }

    void write(const std::string& bytes) {
        DWORD written = 0;
        ASSERT_TRUE(WriteFile(port, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr));
        ASSERT_EQ(written, bytes.size());
    }

    // Bytes until `count` have come, a CR has come (when `to_cr`), or `limit_ms` has passed.
    std::string read(std::size_t count, bool to_cr, double limit_ms = 1000) {
        std::string bytes;
        const double end = now_ms() + limit_ms;
        while (bytes.size() < count && !(to_cr && !bytes.empty() && bytes.back() == '\r') && now_ms() < end) {
            char b;
            DWORD got = 0;
            if (ReadFile(port, &b, 1, &got, nullptr) && got == 1) bytes += b;
        }
        return bytes;
    }
    std::string read_line() { return read(SIZE_MAX, true); }

    static DWORD waiting() {
        DWORD errors = 0;
        COMSTAT stat{};
        return ClearCommError(port, &errors, &stat) ? stat.cbInQue : 0;
    }

    static HANDLE port;
    sim_control sim{"VJ_SIM1_PORT"};
};

HANDLE Rig::port = INVALID_HANDLE_VALUE;

TEST_F(Rig, AnswersAReadingWithinASecond) {
    const double start = now_ms();
    write("A\r");
    EXPECT_EQ(read_line(), " 0.452  546\r");
    EXPECT_LT(now_ms() - start, 1000);
    write("T\r");
    EXPECT_EQ(read_line(), " 35.31\r");
}

TEST_F(Rig, SeesTheLineSettingsTheProgramSet) {
    // A Linux pty always reports 8 data bits, whatever the program asked for.
    const std::string line = sim.line();
    EXPECT_EQ(line.substr(0, 10), "baud=1200 ") << line;
    EXPECT_NE(line.find(" parity=odd stop=1"), std::string::npos) << line;
}

TEST_F(Rig, CarriesEveryByteValueUnchangedBothWays) {
    const std::string bytes = all_byte_values();
    ASSERT_TRUE(sim.reply('A', bytes));
    write("A\r");
    EXPECT_EQ(read(bytes.size(), false), bytes);

    ASSERT_TRUE(sim.clear());
    write(bytes);
    std::string received;
    for (const double end = now_ms() + 1000; received.size() < bytes.size() && now_ms() < end;)
        received = sim.received();
    EXPECT_EQ(received, bytes);
}

TEST_F(Rig, MovesToTheWavelengthOfAGCommand) {
    write("G550\r");
    std::string nm;
    for (const double end = now_ms() + 1000; nm != "550" && now_ms() < end;) nm = sim.wavelength();
    EXPECT_EQ(nm, "550");
    write("A\r");
    EXPECT_EQ(read_line(), " 0.452  550\r");
}

TEST_F(Rig, ShowsBytesSentUnaskedAsWaiting) {
    ASSERT_TRUE(sim.send("stale"));
    DWORD count = 0;
    for (const double end = now_ms() + 1000; count < 5 && now_ms() < end;) count = waiting();
    EXPECT_EQ(count, 5u);
    EXPECT_EQ(read(5, false), "stale");
}

TEST_F(Rig, PacedLineTakesTenBitTimesACharacterAt1200Baud) {
    ASSERT_TRUE(sim.pace(true));
    ASSERT_TRUE(sim.delay(100));
    const double start = now_ms();
    write("A\r");
    EXPECT_EQ(read_line(), " 0.452  546\r");
    // 2 characters in, the delay, 12 characters out.
    EXPECT_GE(now_ms() - start, 100 + 14 * 25.0 / 3 - 1);
}

TEST(Ports, OnlyTheSimulatedOnesOpen) {
    const struct {
        const char* name;
        bool opens;
    } ports[] = {{"com1:", true}, {"com2:", true}, {"com3:", false}, {"com4:", false}, {"com5:", false}};
    for (const auto& p : ports) {
        HANDLE h = create(p.name);
        EXPECT_EQ(h != INVALID_HANDLE_VALUE, p.opens) << p.name;
        if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
    }
}

TEST(Ports, AnUnpluggedAdapterFailsAndIsGone) {
    sim_control sim("VJ_SIM2_PORT");
    ASSERT_TRUE(sim.reset()) << sim.last_response();
    HANDLE port = open_port("com2:");
    ASSERT_NE(port, INVALID_HANDLE_VALUE);
    ASSERT_TRUE(sim.send("abc"));
    DWORD errors = 0;
    COMSTAT stat{};
    for (const double end = now_ms() + 1000; stat.cbInQue < 3 && now_ms() < end;)
        ClearCommError(port, &errors, &stat);
    ASSERT_EQ(stat.cbInQue, 3u);

    ASSERT_TRUE(sim.vanish());
    stat = COMSTAT{};
    EXPECT_FALSE(ClearCommError(port, &errors, &stat));
    EXPECT_EQ(stat.cbInQue, 0u);
    CloseHandle(port);

    EXPECT_EQ(create("com2:"), INVALID_HANDLE_VALUE);
    EXPECT_EQ(sim.request("line"), "err gone");
}

}  // namespace

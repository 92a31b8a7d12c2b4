// Loading the builds: the port each opens and how, the loading thread's
// x87 mode, builds side by side, a missing port and an unplugged one.
#include <windows.h>

#include <string>

#include "platform_spy.hpp"
#include "wine_test_support.hpp"

namespace {

uint16_t x87_control_word() {
    uint16_t cw;
    asm volatile("fnstcw %0" : "=m"(cw));
    return cw;
}

void set_x87_control_word(uint16_t cw) { asm volatile("fnclex\n\tfldcw %0" : : "m"(cw)); }

std::string titre_of(const driver& d) { return checked(d.fn("titre"), {}, false, 0).text(); }

long double ead(const driver& d, int32_t channel) {
    return checked(d.fn("ead"), in_eax(channel), true, 0).st0;
}

TEST(Load, OpensItsPortForExclusiveUseAt1200BaudSevenDataBitsOddParityOneStopBit) {
    sim_control sim("VJ_SIM1_PORT");
    ASSERT_TRUE(sim.reset());
    port_open_calls calls;
    {
        platform_spy spy;
        driver d(1);
        calls = spy.calls();
        EXPECT_EQ(titre_of(d), "Jenway6320D, com1:");
        EXPECT_EQ(ead(d, 1), exact(0.452));
    }
    EXPECT_EQ(calls.device, "com1:");
    EXPECT_EQ(calls.access, static_cast<DWORD>(GENERIC_READ | GENERIC_WRITE));
    EXPECT_EQ(calls.share, 0u);
    EXPECT_EQ(calls.disposition, static_cast<DWORD>(OPEN_EXISTING));
    EXPECT_EQ(calls.in_queue, 256u);
    EXPECT_EQ(calls.out_queue, 256u);
    ASSERT_TRUE(calls.state_set);
    EXPECT_EQ(calls.dcb.BaudRate, 1200u);
    EXPECT_EQ(calls.dcb.ByteSize, 7);
    EXPECT_EQ(calls.dcb.Parity, ODDPARITY);
    EXPECT_EQ(calls.dcb.StopBits, ONESTOPBIT);
    ASSERT_TRUE(calls.timeouts_set);
    EXPECT_EQ(calls.timeouts.ReadIntervalTimeout, 0u);
    EXPECT_EQ(calls.timeouts.ReadTotalTimeoutMultiplier, 0u);
    EXPECT_EQ(calls.timeouts.ReadTotalTimeoutConstant, 1000u);
    EXPECT_EQ(calls.timeouts.WriteTotalTimeoutMultiplier, 0u);
    EXPECT_EQ(calls.timeouts.WriteTotalTimeoutConstant, 1000u);
    // A pseudo-terminal keeps the speed and the odd-parity flag; Linux
    // forces its character size to 8 bits and parity checking off.
    const std::string line = sim.line();
    EXPECT_NE(line.find("baud=1200"), std::string::npos) << line;
    EXPECT_NE(line.find("parity=odd"), std::string::npos) << line;
    EXPECT_NE(line.find("stop=1"), std::string::npos) << line;
}

TEST(Load, LeavesTheLoadingThreadAt64BitPrecisionRoundingToNearestWithItsMasks) {
    const uint16_t saved = x87_control_word();
    // Denormal-operand faults unmasked in two of them: the masks must survive.
    for (uint16_t before : {0x027D, 0x0E7F, 0x007D}) {
        set_x87_control_word(before);
        {
            driver d(3);
            const uint16_t after = x87_control_word();
            EXPECT_EQ(after & 0x0F00, 0x0300) << std::hex << before;
            EXPECT_EQ(after & 0x003F, before & 0x003F) << "exception masks kept";
        }
    }
    set_x87_control_word(saved);
}

TEST(Load, MissingPortStillLoadsAndEveryReadingWaitsForTheDeadline) {
    driver d(3);
    EXPECT_EQ(titre_of(d), "Jenway6320D, com3:");
    const DWORD t0 = GetTickCount();
    EXPECT_EQ(ead(d, 1), exact(-777.0));
    EXPECT_GE(GetTickCount() - t0, 1000u);
    EXPECT_EQ(read_memo(), "\r\n");
}

TEST(Load, TwoBuildsInOneProcessDriveTheirOwnPorts) {
    sim_control sim1("VJ_SIM1_PORT"), sim2("VJ_SIM2_PORT");
    ASSERT_TRUE(sim1.reset());
    ASSERT_TRUE(sim2.reset());
    ASSERT_TRUE(sim1.reply('A', " 0.111  111\r"));
    ASSERT_TRUE(sim2.reply('A', " 0.222  222\r"));
    driver d1(1), d2(2);
    EXPECT_EQ(ead(d1, 0), exact(111.0));
    EXPECT_EQ(ead(d2, 0), exact(222.0));
    call_args set = in_eax(0);
    set.edx = 600;
    checked(d2.fn("sa"), set, false, 0);
    EXPECT_EQ(sim1.received(), "A\r");
    EXPECT_EQ(sim2.received(), "A\rG600\r");
    EXPECT_EQ(static_cast<int32_t>(checked(d1.fn("rsa"), in_eax(0), false, 0).eax), 0);
    EXPECT_EQ(titre_of(d1), "Jenway6320D, com1:");
    EXPECT_EQ(titre_of(d2), "Jenway6320D, com2:");
}

// The com2 adapter is gone for the rest of this process.
TEST(Load, UnpluggedAdapterDuringAReadingEndsAtTheDeadlineAndLaterCallsToo) {
    sim_control sim("VJ_SIM2_PORT");
    ASSERT_TRUE(sim.reset());
    ASSERT_TRUE(sim.delay(500));
    driver d(2);
    ASSERT_TRUE(sim.vanish_later(150));
    const DWORD t0 = GetTickCount();
    EXPECT_EQ(ead(d, 1), exact(-777.0));
    for (int i = 0; i < 2; ++i) EXPECT_EQ(ead(d, 2), exact(-777.0));
    EXPECT_LT(GetTickCount() - t0, 3 * 1000u + 1500u);
    EXPECT_EQ(read_memo(), "\r\n");
}

DWORD WINAPI idle_thread(void*) { return 0; }

TEST(Load, ThreadsStartingAndEndingTouchNothing) {
    sim_control sim("VJ_SIM1_PORT");
    ASSERT_TRUE(sim.reset());
    driver d(1);
    for (int i = 0; i < 3; ++i) {
        HANDLE t = CreateThread(nullptr, 0, idle_thread, nullptr, 0, nullptr);
        WaitForSingleObject(t, INFINITE);
        CloseHandle(t);
    }
    EXPECT_EQ(titre_of(d), "Jenway6320D, com1:");
    EXPECT_EQ(ead(d, 1), exact(0.452));
}

}  // namespace

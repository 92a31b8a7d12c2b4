// The core operations of the com1 build, called through the register
// convention against the simulated instrument.
#include <windows.h>

#include <string>

#include "wine_test_support.hpp"

namespace {

class Core : public com1_suite {
protected:
    call_outcome reg(const char* name, uint32_t eax, bool fp_result) {
        return checked(dll->fn(name), in_eax(eax), fp_result, 0);
    }
    long double ead(int32_t channel) { return reg("ead", channel, true).st0; }
    int32_t ea(int32_t channel) { return static_cast<int32_t>(reg("ea", channel, false).eax); }
    std::string text(const char* name, uint32_t channel) { return reg(name, channel, false).text(); }
    call_outcome sa(int32_t channel, int32_t value) {
        call_args a = in_eax(channel);
        a.edx = value;
        return checked(dll->fn("sa"), a, false, 0);
    }
    call_outcome sad(int32_t channel, double value) {
        call_args a = in_eax(channel);
        push_double(a.words, value);
        return checked(dll->fn("sad"), a, true, 8);
    }
};

TEST_F(Core, ReadsEachAnalogInputAndLogsTheRawLine) {
    ASSERT_TRUE(sim->reply('A', " 0.452  546\r\n"));
    ASSERT_TRUE(sim->reply('T', " 35.31\r"));
    EXPECT_EQ(ead(1), exact(0.452));
    EXPECT_EQ(read_memo(), " 0.452  546\r\n");
    EXPECT_EQ(ead(0), exact(546.0));
    EXPECT_EQ(ead(2), exact(35.31));
    EXPECT_EQ(read_memo(), " 35.31\r\n");
    EXPECT_EQ(ea(0), 546);
    EXPECT_EQ(ea(1), 45);
    EXPECT_EQ(ea(2), 3531);
    EXPECT_EQ(sim->received(), "A\rA\rT\rA\rA\rT\r");
}

TEST_F(Core, SilenceGivesNoValueAfterTheDeadlineAndAnEmptyLog) {
    ASSERT_TRUE(sim->silence('A'));
    const DWORD t0 = GetTickCount();
    EXPECT_EQ(ead(1), exact(-777.0));
    const DWORD elapsed = GetTickCount() - t0;
    EXPECT_GE(elapsed, 1000u);
    EXPECT_LT(elapsed, 3000u);
    EXPECT_EQ(read_memo(), "\r\n");
    EXPECT_EQ(ea(0), -777);
    EXPECT_EQ(ea(1), -77700);
}

TEST_F(Core, StaleBytesAreDrainedBeforeTheCommand) {
    ASSERT_TRUE(sim->send("9.9999 999\r\n"));
    Sleep(50);
    EXPECT_EQ(ead(1), exact(0.452));
    EXPECT_EQ(read_memo(), " 0.452  546\r\n");
}

TEST_F(Core, RepliesOfRawBytesReachTheLogUnchanged) {
    const std::string raw("\x01\0\xe8\xff\n \t", 7);
    ASSERT_TRUE(sim->reply('A', raw + "\r"));
    EXPECT_EQ(ead(1), exact(-777.0));
    EXPECT_EQ(read_memo(), raw + "\r\n");
}

TEST_F(Core, UnknownChannelSendsNothingAndReadsTheWholeLine) {
    ASSERT_TRUE(sim->send_later("  12.5\r", 200));
    EXPECT_EQ(ead(3), exact(12.5));
    EXPECT_EQ(read_memo(), "  12.5\r\n");
    EXPECT_EQ(sim->received(), "");

    write_memo("kept");
    EXPECT_EQ(ea(3), -777);
    EXPECT_EQ(ea(-1), -777);
    EXPECT_EQ(read_memo(), "kept") << "ea asks nothing for a channel that does not exist";
    EXPECT_EQ(sim->received(), "");
}

TEST_F(Core, LogThatCannotBeCreatedRaisesTheIoErrorToTheHost) {
    DeleteFileA("memo.txt");
    ASSERT_TRUE(CreateDirectoryA("memo.txt", nullptr));
    for (const char* name : {"ead", "ea"}) {
        const call_outcome r = call(dll->fn(name), in_eax(1), false);
        EXPECT_TRUE(r.raised) << name;
        EXPECT_EQ(r.exception_code, 0xE0494F45u);
        EXPECT_EQ(r.exception_flags & EXCEPTION_NONCONTINUABLE, static_cast<DWORD>(EXCEPTION_NONCONTINUABLE));
        EXPECT_EQ(r.exception_params, 2u);
        EXPECT_EQ(r.exception_param0, 5u);
        EXPECT_STREQ(reinterpret_cast<const char*>(r.exception_param1), "Acc\xE8s au fichier refus\xE9");
    }
    EXPECT_EQ(sim->received(), "A\rA\r") << "the command is sent and the reply consumed first";
    RemoveDirectoryA("memo.txt");
    EXPECT_EQ(ead(1), exact(0.452));
}

TEST_F(Core, SettingsSendGAndAreReadBackIndependently) {
    EXPECT_EQ(static_cast<int32_t>(sa(0, 550).eax), -777);
    EXPECT_EQ(sim->received(), "G550\r");
    EXPECT_EQ(static_cast<int32_t>(reg("rsa", 7, false).eax), 550);

    const double before = static_cast<double>(reg("rsad", 0, true).st0);
    sa(0, -3);
    EXPECT_EQ(reg("rsad", 0, true).st0, exact(before));
    EXPECT_EQ(sad(0, 546.5).st0, exact(-777.0));
    sad(0, 547.5);
    EXPECT_EQ(sim->received(), "G550\rG-3\rG546\rG548\r");
    EXPECT_EQ(reg("rsad", 5, true).st0, exact(547.5));
    EXPECT_EQ(static_cast<int32_t>(reg("rsa", 0, false).eax), -3);

    sim->clear();
    sa(1, 500);
    sad(-1, 500.0);
    sa(65536, 500);
    EXPECT_EQ(sim->received(), "");
    EXPECT_EQ(static_cast<int32_t>(reg("rsa", 0, false).eax), -3);
}

TEST_F(Core, ChannelNames) {
    EXPECT_EQ(text("nea", 0), "longueur d'onde (nm)");
    EXPECT_EQ(text("nead", 0), "longueur d'onde (nm)");
    EXPECT_EQ(text("nea", 1), "absorption");
    EXPECT_EQ(text("nead", 1), "Absorption");
    EXPECT_EQ(text("nea", 2), "transmission");
    EXPECT_EQ(text("nead", 2), "Transmission");
    EXPECT_EQ(text("nsa", 0), "lambda (nm)");
    EXPECT_EQ(text("nsad", 0), "lambda (nm)");
    EXPECT_EQ(text("nsa", 0xABCD0000u), "lambda (nm)") << "only AX is read";
    EXPECT_EQ(text("nsad", 65536), "");
    EXPECT_EQ(text("nsa", 1), "");
    for (const char* name : {"nea", "nead", "nsad", "neb", "nsb"}) {
        for (uint32_t channel : {3u, 0xFFFFFFFFu, 1u}) {
            if (channel == 1 && std::string(name).rfind("nea", 0) == 0) continue;
            const call_outcome r = reg(name, channel, false);
            ASSERT_NE(r.text(), nullptr) << name;
            EXPECT_EQ(r.text()[0], '\0') << name << " " << channel;
        }
    }
}

TEST_F(Core, BinaryChannelsAreStubsThatTouchNothing) {
    EXPECT_EQ(static_cast<int32_t>(reg("eb", 0, false).eax), -777);
    call_args set = in_eax(0);
    set.edx = 500;
    EXPECT_EQ(static_cast<int32_t>(checked(dll->fn("sb"), set, false, 0).eax), -777);
    EXPECT_EQ(static_cast<int32_t>(reg("rsb", 0, false).eax), -777);
    EXPECT_EQ(sim->received(), "");
}

TEST_F(Core, TitleAndDescriptionNameThePort) {
    const std::string title = "Jenway6320D, com1:";
    const std::string description =
        "DLL pour spectrophotom\xE8tre Jenway 6320D,com1:, L. Morvandel, 4 octobre 2012";
    const char* t = reg("titre", 0, false).text();
    const char* d = reg("detail", 0, false).text();
    EXPECT_EQ(std::string(t, title.size() + 2), title + std::string(2, '\0'));
    EXPECT_EQ(std::string(d, description.size() + 2), description + std::string(2, '\0'));
    EXPECT_EQ(reg("titre", 0, false).text(), t);
}

}  // namespace

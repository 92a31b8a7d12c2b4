// Faults and long runs against the real builds: an adapter unplugged during
// a reading, a device that floods without a carriage return, replies of
// random bytes, a reply log that cannot be created, many readings in a row
// and a build unloaded and loaded again. Counts come from
// VJ_ENDURANCE_SCALE: "ci" (default) or "full".
//
// Every test but the last drives com1 with a build loaded for that test
// alone; the last one unplugs com2 for the rest of the process. No test
// starts a thread (the simulator unplugs com2 on schedule): under Wine on
// qemu-user a second thread waiting breaks the main thread's socket calls
// and exceptions, and GoogleTest starts one for SCOPED_TRACE, which is
// therefore not used. A call that never returns is left to the test
// runner's timeout.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <random>
#include <string>

#include "process_watch.hpp"
#include "wine_test_support.hpp"

namespace {

struct scale {
    const char* name;
    int failing_logs;    // N
    int readings;        // M
    int reloads;         // K
    int random_replies;
    int after_unplug;
};

const scale& counts() {
    static const scale chosen = [] {
        const char* value = std::getenv("VJ_ENDURANCE_SCALE");
        const std::string name = value && *value ? value : "ci";
        scale s{"ci", 300, 1000, 20, 40, 3};
        if (name == "full") s = {"full", 1000, 10000, 100, 400, 10};
        else if (name != "ci") ADD_FAILURE() << "VJ_ENDURANCE_SCALE must be ci or full, not " << name;
        std::printf("endurance scale %s: N=%d failing logs, M=%d readings, K=%d reloads, "
                    "%d random replies, %d calls after an unplug\n",
                    s.name, s.failing_logs, s.readings, s.reloads, s.random_replies, s.after_unplug);
        std::fflush(stdout);
        return s;
    }();
    return chosen;
}

const long double no_value = exact(-777.0);

// What a run may add to the process without leaking: handles the system
// opens lazily, heap blocks and pages the runtime keeps for reuse.
constexpr std::size_t kHandleSlack = 2;
constexpr std::size_t kHeapSlack = 4096;
constexpr std::size_t kCommittedSlack = 256 * 1024;

void expect_flat(const footprint& before, const footprint& after, std::size_t extra_handles = 0) {
    print_footprint("before", before);
    print_footprint("after", after);
    EXPECT_LE(after.handles, before.handles + extra_handles + kHandleSlack);
    EXPECT_LE(after.heap, before.heap + kHeapSlack);
    EXPECT_LE(after.committed, before.committed + kCommittedSlack);
}

void set_wavelength(const driver& d, int32_t nm) {
    call_args a = in_eax(0);
    a.edx = static_cast<uint32_t>(nm);
    call(d.fn("sa"), a, false);
}

struct timed_reading {
    long double value;
    DWORD ms;
};

timed_reading timed_ead(const driver& d, int32_t channel) {
    const DWORD t0 = GetTickCount();
    const long double value = checked(d.fn("ead"), in_eax(channel), true, 0).st0;
    return {value, GetTickCount() - t0};
}

// Mismatches of a long loop, reported once: the count and the first.
struct tally {
    int count = 0;
    std::string first;
    void add(const std::string& what) {
        if (count++ == 0) first = what;
    }
};

TEST(Endurance, ManyReadingsInARowAreAllRightAndHoldNothing) {
    const int m = counts().readings;
    sim_control sim("VJ_SIM1_PORT");
    ASSERT_TRUE(sim.reset());
    driver d(1);

    // The instrument reports the wavelength it was last sent to, so each
    // wavelength reading also proves the setting before it went out whole.
    tally wrong;
    footprint before{};
    const int warm_up = 30;
    int32_t nm = 546;
    for (int i = 0; i < warm_up + m; ++i) {
        if (i == warm_up) before = measure_footprint();
        const int32_t channel = i % 3;
        if (channel == 0) set_wavelength(d, nm = 190 + (i * 7) % 900);
        char line[32];
        if (channel == 2) std::snprintf(line, sizeof line, " 35.31\r\n");
        else std::snprintf(line, sizeof line, " 0.452%5d\r\n", static_cast<int>(nm));
        const long double expected = channel == 0 ? exact(nm) : exact(channel == 1 ? 0.452 : 35.31);

        const call_outcome r = call(d.fn("ead"), in_eax(channel), true);
        const std::string memo = read_memo();
        if (r.raised || r.st0 != expected || memo != line)
            wrong.add("reading " + std::to_string(i) + " on channel " + std::to_string(channel) + " gave " +
                      std::to_string(static_cast<double>(r.st0)) + ", log \"" + memo + "\"");
    }
    const footprint after = measure_footprint();
    EXPECT_EQ(wrong.count, 0) << "first: " << wrong.first;
    expect_flat(before, after);
}

TEST(Endurance, FailingReplyLogLeaksNothingAndReadingsRecover) {
    const int n = counts().failing_logs;
    sim_control sim("VJ_SIM1_PORT");
    ASSERT_TRUE(sim.reset());
    driver d(1);
    DeleteFileA("memo.txt");
    ASSERT_TRUE(CreateDirectoryA("memo.txt", nullptr));

    // Both reading operations on every analog input; each must hand the
    // host the I/O error of code 5 and keep nothing of the failed attempt.
    tally wrong;
    footprint before{};
    const int warm_up = 6;
    for (int i = 0; i < warm_up + n; ++i) {
        if (i == warm_up) before = measure_footprint();
        const char* name = i % 2 ? "ea" : "ead";
        const call_outcome r = call(d.fn(name), in_eax(i % 3), false);
        if (!r.raised || r.exception_code != 0xE0494F45u || r.exception_param0 != 5u)
            wrong.add(std::string(name) + " call " + std::to_string(i) + ": raised " + std::to_string(r.raised) +
                      ", code " + std::to_string(r.exception_code) + ", param0 " +
                      std::to_string(r.exception_param0));
    }
    const footprint after = measure_footprint();
    EXPECT_EQ(wrong.count, 0) << "first: " << wrong.first;
    expect_flat(before, after);

    ASSERT_TRUE(RemoveDirectoryA("memo.txt"));
    EXPECT_EQ(timed_ead(d, 1).value, exact(0.452));
    EXPECT_EQ(read_memo(), " 0.452  546\r\n");
}

// Random reply bytes, weighted toward what upsets line handling: NUL, LF,
// CR, blanks, number characters and 8-bit bytes. A quarter carry no CR.
std::string random_reply(std::mt19937& rng) {
    const bool with_cr = rng() % 4 != 0;
    const std::size_t length = rng() % 4 == 0 ? rng() % 12 : rng() % 201;
    static const char number_chars[] = "0123456789.-+E ";
    std::string bytes;
    for (std::size_t i = 0; i < length; ++i) {
        char c;
        switch (rng() % 8) {
            case 0: c = '\0'; break;
            case 1: c = '\n'; break;
            case 2: c = '\r'; break;
            case 3: c = number_chars[rng() % (sizeof number_chars - 1)]; break;
            case 4: c = static_cast<char>(128 + rng() % 128); break;
            default: c = static_cast<char>(rng() % 256); break;
        }
        if (c == '\r' && !with_cr) c = '\x0b';
        bytes += c;
    }
    if (with_cr && bytes.find('\r') == std::string::npos) bytes.insert(rng() % (bytes.size() + 1), 1, '\r');
    return bytes;
}

TEST(Endurance, RandomReplyBytesAreLoggedRawAndNeverCrash) {
    const int count = counts().random_replies;
    sim_control sim("VJ_SIM1_PORT");
    ASSERT_TRUE(sim.reset());
    driver d(1);
    std::mt19937 rng(20240611u);
    tally wrong;
    for (int i = 0; i < count; ++i) {
        const std::string reply = random_reply(rng);
        ASSERT_TRUE(sim.reply('A', reply));
        ASSERT_TRUE(sim.reply('T', reply));
        const std::size_t cr = reply.find('\r');
        const std::string line = cr == std::string::npos ? "" : reply.substr(0, cr);

        const call_outcome r = call(d.fn("ead"), in_eax(i % 3), true);
        const std::string memo = read_memo();
        if (r.raised || memo != line + "\r\n" || (cr == std::string::npos && r.st0 != no_value))
            wrong.add("reply " + std::to_string(i) + " of " + std::to_string(reply.size()) + " bytes: raised " +
                      std::to_string(r.raised) + ", value " + std::to_string(static_cast<double>(r.st0)) +
                      ", log of " + std::to_string(memo.size()) + " bytes");
    }
    EXPECT_EQ(wrong.count, 0) << "first: " << wrong.first;
    // Whatever followed the last carriage return is drained, not read.
    ASSERT_TRUE(sim.reply_default('A'));
    EXPECT_EQ(timed_ead(d, 1).value, exact(0.452));
}

TEST(Endurance, FloodWithoutCarriageReturnEndsWithNoValueInBoundedTimeAndMemory) {
    sim_control sim("VJ_SIM1_PORT");
    driver d(1);
    for (bool paced : {false, true}) {
        const char* mode = paced ? "flood at 1200 baud" : "flood as fast as the line takes it";
        ASSERT_TRUE(sim.reset());
        ASSERT_TRUE(sim.silence('A'));
        ASSERT_TRUE(sim.silence('T'));
        ASSERT_TRUE(sim.pace(paced));
        ASSERT_TRUE(sim.flood(true));
        timed_ead(d, 1);  // warm-up: the first flooded call runs paths not run before
        const footprint before = measure_footprint();
        for (int32_t channel = 0; channel < 3; ++channel) {
            const timed_reading r = timed_ead(d, channel);
            EXPECT_EQ(r.value, no_value) << mode;
            EXPECT_LT(r.ms, 5000u) << mode << ": the drain and the line each end at their deadline";
            EXPECT_EQ(read_memo(), "\r\n") << mode;
        }
        expect_flat(before, measure_footprint());
        ASSERT_TRUE(sim.flood(false));
    }
    ASSERT_TRUE(sim.reset());  // also discards the flood still queued for the driver
    EXPECT_EQ(timed_ead(d, 1).value, exact(0.452));
}

TEST(Endurance, ReloadingABuildAnswersEveryTimeAndLeaksNothing) {
    const int k = counts().reloads;
    sim_control sim("VJ_SIM1_PORT");
    ASSERT_TRUE(sim.reset());

    // Windows keeps the port of the first load held, so a reload runs
    // without it (-777); Wine lets every load open the port again.
    auto use_once = [](int round) {
        driver d(1);
        EXPECT_STREQ(checked(d.fn("titre"), {}, false, 0).text(), "Jenway6320D, com1:") << "load " << round;
        EXPECT_STREQ(checked(d.fn("nea"), in_eax(0), false, 0).text(), "longueur d'onde (nm)") << "load " << round;
        EXPECT_STREQ(checked(d.fn("nsa"), in_eax(0), false, 0).text(), "lambda (nm)") << "load " << round;
        const long double value = timed_ead(d, 1).value;
        EXPECT_TRUE(value == exact(0.452) || value == no_value) << "load " << round << ": " << static_cast<double>(value);
    };
    use_once(0);
    const footprint before = measure_footprint();
    for (int i = 1; i <= k; ++i) use_once(i);
    // The library never closes its port: each load that opened one keeps
    // that handle until the process ends.
    expect_flat(before, measure_footprint(), static_cast<std::size_t>(k));
}

// Last: com2 is gone for the rest of this process.
TEST(EnduranceUnplugged, EveryCallEndsAtTheDeadlineAfterTheAdapterIsPulled) {
    const int calls = counts().after_unplug;
    sim_control sim("VJ_SIM2_PORT");
    ASSERT_TRUE(sim.reset());
    driver d(2);
    ASSERT_EQ(timed_ead(d, 1).value, exact(0.452)) << "the port works before it is pulled";

    ASSERT_TRUE(sim.delay(500));
    ASSERT_TRUE(sim.vanish_later(150));
    const timed_reading during = timed_ead(d, 1);
    EXPECT_EQ(during.value, no_value);
    EXPECT_GE(during.ms, 1000u);
    EXPECT_LT(during.ms, 3000u);

    for (int i = 0; i < calls; ++i) {
        const timed_reading r = timed_ead(d, i % 3);
        EXPECT_EQ(r.value, no_value);
        EXPECT_LT(r.ms, 3000u) << "the drain must not wait on a port that is gone";
        EXPECT_EQ(read_memo(), "\r\n");
    }
    // Settings only write: they end within the write timeout.
    const DWORD t0 = GetTickCount();
    set_wavelength(d, 600);
    call_args a = in_eax(0);
    push_double(a.words, 610.0);
    EXPECT_EQ(checked(d.fn("sad"), a, true, 8).st0, no_value);
    EXPECT_LT(GetTickCount() - t0, 3000u);
}

}  // namespace

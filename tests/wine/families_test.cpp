// The adapters' own rules, through the real exports of the com1 build:
// narrowing, halves to even, argument layouts, stored results, fixed
// values, text arguments, and the reply-log error passing through.
#include <windows.h>

#include <cmath>
#include <limits>
#include <string>

#include "wine_test_support.hpp"

namespace {

class Families : public com1_suite {
protected:
    void* fn(const char* name) { return dll->fn(name); }
    // stdcall or cdecl with 32-bit words.
    call_outcome stack_call(const char* name, std::vector<uint32_t> words, bool fp, bool callee_pops = true) {
        const int bytes = callee_pops ? static_cast<int>(words.size() * 4) : 0;
        return checked(fn(name), on_stack(std::move(words)), fp, bytes);
    }
    call_outcome double_call(const char* name, std::vector<double> doubles, bool fp, bool callee_pops = true) {
        call_args a;
        for (double d : doubles) push_double(a.words, d);
        return checked(fn(name), a, fp, callee_pops ? static_cast<int>(a.words.size() * 4) : 0);
    }
    std::string text_call(const char* name, std::vector<const char*> texts, bool callee_pops = true) {
        std::vector<uint32_t> words;
        for (const char* t : texts) words.push_back(pointer_word(t));
        return stack_call(name, words, false, callee_pops).text();
    }
    void set_reading(const std::string& absorbance_line) { ASSERT_TRUE(sim->reply('A', absorbance_line)); }
};

TEST_F(Families, SixteenBitChannelsAndValuesIgnoreTheHighHalf) {
    EXPECT_EQ(stack_call("stdea", {65536}, false).eax, 546u);
    EXPECT_EQ(stack_call("cead", {65537}, true, false).st0, exact(0.452));
    sim->clear();
    stack_call("stdsa", {0, 70000}, false);
    stack_call("csa", {0, 0xFFFFFFFFu}, false, false);
    EXPECT_EQ(sim->received(), "G4464\rG65535\r");
    EXPECT_EQ(stack_call("crsa", {0}, false, false).eax, 65535u);
}

TEST_F(Families, FixedSingleReadingTouchesNeitherPortNorLog) {
    write_memo("kept");
    ASSERT_EQ(single_bits(77.77f), 0x429B8A3Du);
    const long double fixed = 77.77f;
    EXPECT_EQ(stack_call("stdeas", {0xFFFFFFFFu}, true).st0, fixed);
    EXPECT_EQ(stack_call("ceas", {1}, true, false).st0, fixed);
    EXPECT_EQ(sim->received(), "");
    EXPECT_EQ(read_memo(), "kept");
}

TEST_F(Families, SinglesAreTheNearestSingleOfTheCoreResult) {
    set_reading(" 0.452  546\r");
    const float* p = reinterpret_cast<const float*>(stack_call("pstdeas", {1}, false).eax);
    EXPECT_EQ(*p, 0.452f);
    ASSERT_TRUE(sim->silence('A'));
    const float* q = reinterpret_cast<const float*>(stack_call("pceas", {1}, false, false).eax);
    EXPECT_EQ(*q, -777.0f);

    call_args set;
    set.words = {0, single_bits(550.0f)};
    EXPECT_EQ(checked(fn("stdsas"), set, true, 8).st0, -777.0L);
    EXPECT_EQ(stack_call("stdrsas", {0}, true).st0, 550.0L);

    // Beyond the single range: an infinity of its sign, with faults unmasked.
    call_args big;
    push_double(big.words, -1e300);
    big.words.insert(big.words.begin(), 0);
    checked(fn("stdsad"), big, true, 12);
    for (const fp_state& fp : hostile_fp) {
        const call_outcome r = checked(fn("crsas"), on_stack({0}), true, 0, fp);
        EXPECT_EQ(r.st0, -std::numeric_limits<long double>::infinity()) << fp.name;
    }
}

TEST_F(Families, PointerResultsKeepOnePlacePerExport) {
    set_reading(" 0.100  500\r");
    const call_outcome first = checked(fn("pead"), in_eax(1), false, 0);
    set_reading(" 0.200  500\r");
    const call_outcome second = checked(fn("pead"), in_eax(1), false, 0);
    EXPECT_EQ(first.eax, second.eax);
    EXPECT_EQ(*reinterpret_cast<const double*>(second.eax), 0.2);
    EXPECT_EQ(stack_call("pstdead", {0x10001}, false).eax, first.eax) << "pstdead shares pead's place";

    const double wanted = 546.5;
    call_args a = in_eax(0);
    a.edx = pointer_word(&wanted);
    const call_outcome set = checked(fn("psad"), a, false, 0);
    EXPECT_NE(set.eax, first.eax);
    EXPECT_EQ(*reinterpret_cast<const double*>(set.eax), -777.0);
    EXPECT_EQ(wanted, 546.5);
    EXPECT_EQ(checked(fn("rsad"), in_eax(0), true, 0).st0, exact(546.5));
}

TEST_F(Families, DoubleChannelsRoundHalvesToEven) {
    struct { double channel; const char* command; } cases[] = {
        {1.5, "T\r"}, {2.5, "T\r"}, {0.5, "A\r"}, {-0.4, "A\r"}, {2.6, ""},
    };
    for (const auto& c : cases) {
        sim->clear();
        double_call("eadouble", {c.channel}, true);
        EXPECT_EQ(sim->received(), c.command) << c.channel;
    }
    EXPECT_EQ(std::string(double_call("nsadouble", {65536.0}, false).text()), "");
    EXPECT_EQ(std::string(double_call("nsadouble", {0.49}, false).text()), "lambda (nm)");
    EXPECT_EQ(std::string(double_call("cneadouble", {1.0}, false, false).text()), "Absorption");
    for (const char* name : {"ebdouble", "stdsbdouble", "crsbdouble"}) {
        const bool two = std::string(name).find("sb") != std::string::npos;
        const bool cdecl_ = name[0] == 'c';
        std::vector<double> args = two ? std::vector<double>{0, 1} : std::vector<double>{0};
        EXPECT_EQ(double_call(name, args, true, !cdecl_).st0, -777.0L) << name;
    }
}

TEST_F(Families, TwoDoublesLieInOppositeOrdersInTheRegisterConventionAndStdcall) {
    sim->clear();
    double_call("sadouble", {550.4, 0.0}, true);      // value directly above the return address
    double_call("stdsadouble", {0.0, 550.4}, true);   // channel directly above the return address
    EXPECT_EQ(sim->received(), "G550\rG550\r");
    EXPECT_EQ(double_call("rsadouble", {0.0}, true).st0, exact(550.4));
    sim->clear();
    double_call("sadouble", {0.0, 550.4}, true);      // stdcall's layout: 550.4 is the channel
    EXPECT_EQ(sim->received(), "");
}

TEST_F(Families, TextArgumentsAlwaysGiveANumber) {
    EXPECT_EQ(text_call("stdneadstr", {"1"}), "Absorption");
    EXPECT_EQ(text_call("stdnsadstr", {"65536"}), "");
    for (const char* channel : {"abc", "", static_cast<const char*>(nullptr)}) {
        EXPECT_EQ(text_call("cneadstr", {channel}, false), "longueur d'onde (nm)");
    }
    struct { const char* channel; const char* command; } cases[] = {
        {"1.5", "T\r"}, {"2.5", "T\r"}, {" 1", "A\r"}, {"1 ", "A\r"},
    };
    for (const auto& c : cases) {
        sim->clear();
        text_call("stdeadstr", {c.channel});
        EXPECT_EQ(sim->received(), c.command) << c.channel;
    }
    sim->clear();
    EXPECT_EQ(text_call("csadstr", {"0", "550"}, false), "-7.77000000000000E+0002");
    EXPECT_EQ(text_call("csadstr", {"0", "550.5 "}, false), "-7.77000000000000E+0002");
    EXPECT_EQ(sim->received(), "G550\rG5505\r");
    for (const char* name : {"stdebstr", "stdsbstr", "cebstr", "csbstr"}) {
        const bool cdecl_ = name[0] == 'c';
        const bool two = std::string(name).find("sb") != std::string::npos;
        std::vector<const char*> args = two ? std::vector<const char*>{"0", "1"} : std::vector<const char*>{"0"};
        EXPECT_EQ(text_call(name, args, !cdecl_), "-7.77000000000000E+0002") << name;
    }
}

TEST_F(Families, NumberTextsLiveInOnePlacePerExport) {
    set_reading("       546\r");
    const char* first = stack_call("ceadstr", {pointer_word("0")}, false, false).text();
    EXPECT_STREQ(first, " 5.46000000000000E+0002");
    ASSERT_TRUE(sim->silence('A'));
    const char* second = stack_call("ceadstr", {pointer_word("1")}, false, false).text();
    EXPECT_EQ(first, second);
    EXPECT_STREQ(second, "-7.77000000000000E+0002");
    EXPECT_NE(stack_call("stdeadstr", {pointer_word("1")}, false).text(), first);
}

TEST_F(Families, ReplyLogErrorPassesThroughEveryFormAndStoredResultsStay) {
    set_reading(" 0.300  500\r");
    const float* stored = reinterpret_cast<const float*>(stack_call("pstdeas", {1}, false).eax);
    const char* text = stack_call("stdeadstr", {pointer_word("1")}, false).text();
    const std::string text_before = text;

    DeleteFileA("memo.txt");
    ASSERT_TRUE(CreateDirectoryA("memo.txt", nullptr));
    struct { const char* name; std::vector<uint32_t> words; } forms[] = {
        {"stdead", {1}}, {"cea", {1}}, {"pstdeas", {1}}, {"pceas", {1}},
        {"stdeadstr", {pointer_word("1")}}, {"ceadstr", {pointer_word("1")}},
        {"ceadouble", {0, 0x3FF00000u}},
    };
    for (const auto& f : forms) {
        const call_outcome r = call(fn(f.name), on_stack(f.words), false);
        EXPECT_TRUE(r.raised) << f.name;
        EXPECT_EQ(r.exception_code, 0xE0494F45u) << f.name;
        EXPECT_EQ(r.exception_param0, 5u) << f.name;
    }
    RemoveDirectoryA("memo.txt");
    EXPECT_EQ(*stored, 0.3f);
    EXPECT_EQ(std::string(text), text_before);
}

}  // namespace

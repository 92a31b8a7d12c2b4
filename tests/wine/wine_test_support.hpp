// What the Windows tests share: the simulated instruments and calls that
// check the convention on every call.
#pragma once
#include <gtest/gtest.h>

#include <string>

#include "driver_call.hpp"
#include "sim_control.hpp"

// A call that must return normally, remove `popped` bytes, preserve the
// caller's registers and leave the x87 stack holding only a floating result.
inline call_outcome checked(void* fn, const call_args& args, bool fp_result, int popped,
                            const fp_state& fp = loaded_fp) {
    EXPECT_NE(fn, nullptr);
    const call_outcome r = call(fn, args, fp_result, fp);
    EXPECT_FALSE(r.raised) << "exception " << std::hex << r.exception_code;
    EXPECT_EQ(r.popped, popped);
    EXPECT_TRUE(r.preserved);
    EXPECT_EQ(r.x87_used, fp_result ? 1 : 0);
    EXPECT_EQ(r.cw_after & 0x0F3F, fp.cw & 0x0F3F) << "the caller's x87 control word is kept";
    EXPECT_EQ(r.mxcsr_after & ~0x3Fu, fp.mxcsr & ~0x3Fu) << "the caller's MXCSR is kept";
    return r;
}

// Tests against the com1 build and its simulated instrument, loaded once
// for the suite and reset to its default answers before each test.
class com1_suite : public ::testing::Test {
protected:
    static inline driver* dll = nullptr;
    static inline sim_control* sim = nullptr;
    static void SetUpTestSuite() {
        dll = new driver(1);
        sim = new sim_control("VJ_SIM1_PORT");
    }
    static void TearDownTestSuite() {
        delete sim;
        delete dll;
    }
    void SetUp() override { ASSERT_TRUE(sim->reset()); }
};

inline call_args in_eax(uint32_t eax) {
    call_args a;
    a.eax = eax;
    return a;
}

inline call_args on_stack(std::vector<uint32_t> words) {
    call_args a;
    a.words = std::move(words);
    return a;
}

// The conversions under the floating-point states hosts really run with:
// faults unmasked, reduced precision, rounding toward zero. The results must
// not change and no invalid, zero-divide or overflow flag may come up.
#include <gtest/gtest.h>

#include <cstdint>

#include "tables.hpp"

#if defined(__i386__) || defined(__x86_64__)

namespace {

struct fp_state {
    uint16_t x87_control;
    uint32_t mxcsr;
};

fp_state current_state() {
    fp_state s;
    asm volatile("fnstcw %0" : "=m"(s.x87_control));
    asm volatile("stmxcsr %0" : "=m"(s.mxcsr));
    return s;
}

// Clears the flags of both units before loading the controls, so that
// loading cannot raise anything pending.
void install(const fp_state& s) {
    asm volatile("fnclex\n\tfldcw %0" : : "m"(s.x87_control));
    asm volatile("ldmxcsr %0" : : "m"(s.mxcsr));
}

uint16_t x87_status() {
    uint16_t status;
    asm volatile("fnstsw %0" : "=m"(status));
    return status;
}

constexpr uint32_t fault_flags = 0x0D;  // invalid, zero-divide, overflow: the same bits in both units

struct host_mode {
    const char* name;
    fp_state state;
};

void PrintTo(const host_mode& mode, std::ostream* os) { *os << mode.name; }

class hostile_fp : public ::testing::TestWithParam<host_mode> {};

TEST_P(hostile_fp, tables_hold_and_raise_nothing) {
    const fp_state saved = current_state();
    install(GetParam().state);
    expect_parse_table();
    expect_format_table();
    expect_format_integer_table();
    expect_round_to_int_table();
    expect_round_to_int_scaled_table();
    expect_single_table();
    const uint16_t x87_flags = x87_status() & fault_flags;
    const uint32_t sse_flags = current_state().mxcsr & fault_flags;
    install(saved);
    EXPECT_EQ(x87_flags, 0);
    EXPECT_EQ(sse_flags, 0u);
}

INSTANTIATE_TEST_SUITE_P(
    host_modes, hostile_fp,
    ::testing::Values(
        // A host runtime's defaults: invalid, zero-divide and overflow unmasked.
        host_mode{"faults_unmasked", {0x1332, 0x1900}},
        host_mode{"double_precision", {0x027F, 0x1F80}},
        host_mode{"toward_zero", {0x0F7F, 0x7F80}}),
    [](const ::testing::TestParamInfo<host_mode>& info) { return std::string(info.param.name); });

}  // namespace

#endif

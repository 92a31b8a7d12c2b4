// Every export of every build, called as its row of the export table says:
// by name and by ordinal, with its arguments where its convention puts
// them, checking its result, the bytes it removes, the registers it keeps
// and the x87 stack it leaves, under the loaded floating-point state and
// under hostile ones.
#include <windows.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "wine_test_support.hpp"

namespace {

// Prefixed: Windows headers define several of the table's words.
enum convention { vj_REG, vj_STD, vj_CDECL };
enum result_kind { vj_INT, vj_DBL, vj_SGL, vj_TXT, vj_PDBL, vj_PSGL, vj_NUM };

struct export_row {
    const char* name;
    int ordinal;
    convention conv;
    const char* args;
    int register_bytes, stack_bytes;
    result_kind result;
    std::string reaches;
};

const export_row rows[] = {
#define VJ_EXPORT(name, ordinal, conv, args, reg_bytes, stack_bytes, result, reaches) \
    {#name, ordinal, vj_##conv, args, reg_bytes, stack_bytes, vj_##result, #reaches},
#include "exports/export_table.inc"
#undef VJ_EXPORT
};

// What the core operation gives for the arguments below, with the
// instrument answering " 0.452  546" to "A" and the read-backs holding the
// host's last settings.
struct expectation {
    double number = 0;
    std::string text;
    std::string traffic;
};

struct read_backs {
    int32_t last_output = 321;
    double last_output_d = 321.5;
};

bool reads_input(const std::string& op) { return op == "ead" || op == "ea" || op == "nea" || op == "nead"; }

// The value a setting of the row passes to the core: 550, or 550.4 as a
// double, text or pointer, or 550.25 as a single.
double set_value(const char* args) { return std::strchr(args, 'f') ? 550.25 : 550.4; }

expectation expected(const export_row& row, int port, read_backs& state) {
    const std::string& op = row.reaches;
    const std::string port_text = "com" + std::to_string(port) + ":";
    if (op == "ead") return {0.452, "", "A\r"};
    if (op == "ea") return {45, "", "A\r"};
    if (op == "sa") {
        state.last_output = 550;
        return {-777, "", "G550\r"};
    }
    if (op == "sad") {
        state.last_output_d = set_value(row.args);
        return {-777, "", "G550\r"};
    }
    if (op == "rsa") return {static_cast<double>(state.last_output), "", ""};
    if (op == "rsad") return {state.last_output_d, "", ""};
    if (op == "eb" || op == "sb" || op == "rsb") return {-777, "", ""};
    if (op == "eas") return {77.77, "", ""};
    if (op == "nea") return {0, "absorption", ""};
    if (op == "nead") return {0, "Absorption", ""};
    if (op == "nsa" || op == "nsad") return {0, "lambda (nm)", ""};
    if (op == "neb" || op == "nsb") return {0, "", ""};
    if (op == "titre") return {0, "Jenway6320D, " + port_text, ""};
    if (op == "detail")
        return {0, "DLL pour spectrophotom\xE8tre Jenway 6320D," + port_text + ", L. Morvandel, 4 octobre 2012", ""};
    ADD_FAILURE() << "no expectation for " << op;
    return {};
}

std::string number_text(double v) {
    if (v == 0.452) return " 4.52000000000000E-0001";
    if (v == -777) return "-7.77000000000000E+0002";
    ADD_FAILURE() << "no text for " << v;
    return "";
}

// Arguments: a reading asks channel 1, anything else channel 0; the value
// of a setting is 550 and some. High halves of 16-bit slots hold garbage.
struct built_args {
    call_args call;
    double pointee = 550.4;
};

void build(const export_row& row, built_args& b) {
    const int channel = reads_input(row.reaches) ? 1 : 0;
    static const char* const channel_texts[] = {"0.4", "1 "};
    std::vector<std::vector<uint32_t>> stack_args;
    uint32_t* registers[] = {&b.call.eax, &b.call.edx, &b.call.ecx};
    int next_register = 0;
    for (const char* k = row.args; *k; ++k) {
        const bool is_channel = k == row.args;
        std::vector<uint32_t> slot;
        switch (*k) {
        case 'c': *registers[next_register++] = channel; continue;
        case 'i': *registers[next_register++] = 550; continue;
        case 'p': *registers[next_register++] = pointer_word(&b.pointee); continue;
        case 'w': slot.push_back(0xABCD0000u | channel); break;
        case 'v': slot.push_back(0x12340000u | 550); break;
        case 'd': push_double(slot, is_channel ? channel + 0.25 : 550.4); break;
        case 'f': slot.push_back(single_bits(550.25f)); break;
        case 's': slot.push_back(pointer_word(is_channel ? channel_texts[channel] : "550.4")); break;
        case 'x': slot.push_back(0xDEADBEEFu); break;
        case 'y': push_double(slot, 1e300); break;
        }
        stack_args.push_back(slot);
    }
    // The register convention pushes left to right: its first stack
    // argument lies at the highest address.
    if (row.conv == vj_REG) std::reverse(stack_args.begin(), stack_args.end());
    for (const auto& a : stack_args) b.call.words.insert(b.call.words.end(), a.begin(), a.end());
    ASSERT_EQ(static_cast<int>(b.call.words.size() * 4), row.stack_bytes) << row.name;
}

void check_result(const export_row& row, const call_outcome& r, const expectation& e) {
    const float single = static_cast<float>(e.number);
    switch (row.result) {
    case vj_INT: EXPECT_EQ(static_cast<int32_t>(r.eax), static_cast<int32_t>(e.number)) << row.name; break;
    case vj_DBL: EXPECT_EQ(r.st0, exact(e.number)) << row.name; break;
    case vj_SGL: EXPECT_EQ(r.st0, static_cast<long double>(single)) << row.name; break;
    case vj_TXT: EXPECT_EQ(std::string(r.text()), e.text) << row.name; break;
    case vj_NUM: EXPECT_EQ(std::string(r.text()), number_text(e.number)) << row.name; break;
    case vj_PDBL: EXPECT_EQ(*reinterpret_cast<const double*>(r.eax), e.number) << row.name; break;
    case vj_PSGL: EXPECT_EQ(*reinterpret_cast<const float*>(r.eax), single) << row.name; break;
    }
}

class Conformance : public ::testing::TestWithParam<int> {};

TEST_P(Conformance, EveryExportAsItsRowSays) {
    const int port = GetParam();
    driver dll(port);
    sim_control sim(("VJ_SIM" + std::to_string(port) + "_PORT").c_str());
    ASSERT_TRUE(sim.reset());

    std::vector<fp_state> states{loaded_fp};
    states.insert(states.end(), std::begin(hostile_fp), std::end(hostile_fp));
    for (const fp_state& fp : states) {
        SCOPED_TRACE(fp.name);
        call_args preset = in_eax(0);
        preset.edx = 321;
        checked(dll.fn("sa"), preset, false, 0);
        preset.edx = 0;
        push_double(preset.words, 321.5);
        checked(dll.fn("sad"), preset, true, 8);
        ASSERT_TRUE(sim.clear());

        // The line's traffic is compared once per pass, in call order.
        read_backs state;
        std::string traffic;
        for (const export_row& row : rows) {
            SCOPED_TRACE(row.name);
            void* fn = dll.fn(row.name);
            ASSERT_NE(fn, nullptr);
            EXPECT_EQ(dll.fn(row.ordinal), fn);

            built_args b;
            build(row, b);
            const bool fp_result = row.result == vj_DBL || row.result == vj_SGL;
            const call_outcome r = checked(fn, b.call, fp_result, row.conv == vj_CDECL ? 0 : row.stack_bytes, fp);
            const expectation e = expected(row, port, state);
            check_result(row, r, e);
            traffic += e.traffic;
            EXPECT_EQ(b.pointee, 550.4) << "a value passed by pointer is only read";
        }
        EXPECT_EQ(sim.received(), traffic);
    }
}

INSTANTIATE_TEST_SUITE_P(AllBuilds, Conformance, ::testing::Values(1, 2, 3, 4, 5));

}  // namespace

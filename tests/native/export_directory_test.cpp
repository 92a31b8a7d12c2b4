// Reads the export directory and the imports of each built library: the
// names at their ordinals and nothing else, the library name, and only
// Windows system libraries imported.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstring>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace {

struct pe_file {
    std::vector<uint8_t> bytes;
    struct section { uint32_t rva, size, offset; };
    std::vector<section> sections;

    explicit pe_file(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), {});
        if (bytes.size() < 0x40) return;
        const uint32_t pe = u32(0x3C);
        const uint16_t count = u16(pe + 6);
        const uint32_t table = pe + 24 + u16(pe + 20);
        for (uint16_t i = 0; i < count; ++i) {
            const uint32_t s = table + 40u * i;
            sections.push_back({u32(s + 12), std::max(u32(s + 8), u32(s + 16)), u32(s + 20)});
        }
    }
    uint32_t u32(uint32_t at) const { uint32_t v; std::memcpy(&v, &bytes.at(at + 3) - 3, 4); return v; }
    uint16_t u16(uint32_t at) const { uint16_t v; std::memcpy(&v, &bytes.at(at + 1) - 1, 2); return v; }
    uint32_t at_rva(uint32_t rva) const {
        for (const section& s : sections)
            if (rva >= s.rva && rva < s.rva + s.size) return rva - s.rva + s.offset;
        throw std::out_of_range("rva");
    }
    std::string text_at(uint32_t rva) const { return reinterpret_cast<const char*>(&bytes.at(at_rva(rva))); }
    uint32_t directory(int index) const { return u32(u32(0x3C) + 24 + 96 + 8 * index); }
};

struct export_row { std::string name; int ordinal; };
const export_row table[] = {
#define VJ_EXPORT(name, ordinal, ...) {#name, ordinal},
#include "exports/export_table.inc"
#undef VJ_EXPORT
};

class ExportDirectory : public ::testing::TestWithParam<int> {};

TEST_P(ExportDirectory, HoldsExactlyTheTableUnderTheLibraryName) {
    const int port = GetParam();
    const pe_file dll(std::string(VJ_WIN_BIN) + "/vantor_jenway_com" + std::to_string(port) + ".dll");
    ASSERT_FALSE(dll.sections.empty());

    const uint32_t dir = dll.at_rva(dll.directory(0));
    EXPECT_EQ(dll.text_at(dll.u32(dir + 12)), port == 1 ? "vantor_jenway_com1.dll" : "vantor_jenway_comn.dll");
    const uint32_t base = dll.u32(dir + 16), names = dll.u32(dir + 24);
    std::map<std::string, int> found;
    for (uint32_t i = 0; i < names; ++i) {
        const std::string name = dll.text_at(dll.u32(dll.at_rva(dll.u32(dir + 32)) + 4 * i));
        found[name] = base + dll.u16(dll.at_rva(dll.u32(dir + 36)) + 2 * i);
    }
    std::map<std::string, int> wanted;
    for (const export_row& r : table) wanted[r.name] = r.ordinal;
    EXPECT_EQ(found, wanted);
    EXPECT_EQ(dll.u32(dir + 20), 111u) << "no ordinal without a name";
}

TEST_P(ExportDirectory, ImportsOnlyWindowsSystemLibraries) {
    const pe_file dll(std::string(VJ_WIN_BIN) + "/vantor_jenway_com" + std::to_string(GetParam()) + ".dll");
    ASSERT_FALSE(dll.sections.empty());
    const std::set<std::string> system{"kernel32.dll", "msvcrt.dll", "ntdll.dll", "user32.dll", "advapi32.dll"};
    std::set<std::string> imported;
    for (uint32_t d = dll.at_rva(dll.directory(1)); dll.u32(d + 12) != 0; d += 20) {
        std::string name = dll.text_at(dll.u32(d + 12));
        std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::tolower(c); });
        imported.insert(name);
    }
    EXPECT_FALSE(imported.empty());
    for (const std::string& name : imported) EXPECT_TRUE(system.count(name)) << name;
}

INSTANTIATE_TEST_SUITE_P(AllBuilds, ExportDirectory, ::testing::Values(1, 2, 3, 4, 5));

}  // namespace

#include "driver_call.hpp"

#include <cstdio>
#include <cstring>
#include <stdexcept>

void push_double(std::vector<uint32_t>& words, double value) {
    uint32_t halves[2];
    std::memcpy(halves, &value, sizeof halves);
    words.push_back(halves[0]);
    words.push_back(halves[1]);
}

uint32_t single_bits(float value) {
    uint32_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

uint32_t pointer_word(const void* p) { return static_cast<uint32_t>(reinterpret_cast<uintptr_t>(p)); }

long double exact(double value) { return static_cast<long double>(value); }

call_outcome call(void* fn, const call_args& args, bool fp_result, const fp_state& fp) {
    vj_call_frame f{};
    f.fn = fn;
    f.eax = args.eax;
    f.edx = args.edx;
    f.ecx = args.ecx;
    f.word_count = static_cast<uint32_t>(args.words.size());
    f.words = args.words.data();
    f.fp_result = fp_result ? 1 : 0;
    f.host_cw = fp.cw;
    f.host_mxcsr = fp.mxcsr;

    call_outcome r;
    r.raised = vj_call(&f) != 0;
    r.eax = f.eax_out;
    std::memcpy(&r.st0, f.st0, 10);
    r.popped = f.popped;
    r.preserved = f.ebx_out == kept_ebx && f.esi_out == kept_esi && f.edi_out == kept_edi &&
                  f.ebp_out == kept_ebp;
    uint16_t tags;
    std::memcpy(&r.cw_after, f.fpenv, 2);
    std::memcpy(&tags, f.fpenv + 8, 2);
    for (int i = 0; i < 8; ++i) r.x87_used += ((tags >> (2 * i)) & 3) != 3;
    r.mxcsr_after = f.mxcsr_out;
    r.exception_code = f.exception_code;
    r.exception_flags = f.exception_flags;
    r.exception_params = f.exception_params;
    r.exception_param0 = f.exception_param0;
    r.exception_param1 = f.exception_param1;
    return r;
}

std::string dll_name(int port) { return "vantor_jenway_com" + std::to_string(port) + ".dll"; }

driver::driver(int port) : handle(LoadLibraryA(dll_name(port).c_str())) {
    if (!handle) throw std::runtime_error("cannot load " + dll_name(port));
}

driver::~driver() { FreeLibrary(handle); }

void* driver::fn(const char* name) const {
    return reinterpret_cast<void*>(GetProcAddress(handle, name));
}

void* driver::fn(int ordinal) const {
    return reinterpret_cast<void*>(GetProcAddress(handle, MAKEINTRESOURCEA(ordinal)));
}

std::string read_memo() {
    FILE* f = std::fopen("memo.txt", "rb");
    if (!f) return "<missing>";
    std::string content;
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, f)) > 0) content.append(buffer, n);
    std::fclose(f);
    return content;
}

void write_memo(const std::string& content) {
    FILE* f = std::fopen("memo.txt", "wb");
    std::fwrite(content.data(), 1, content.size(), f);
    std::fclose(f);
}

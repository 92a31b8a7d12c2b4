// Loading a build and calling its exports as a host does.
#pragma once
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

#include "call_frame.hpp"

// The floating-point state of the calling thread during a call.
struct fp_state {
    const char* name;
    uint16_t cw;
    uint32_t mxcsr;
};
// The state a freshly loaded driver leaves on the loading thread.
constexpr fp_state loaded_fp{"loaded", 0x037F, 0x1F80};
// States that hosts run with: faults unmasked, 53-bit precision, toward zero.
constexpr fp_state hostile_fp[] = {
    {"faults unmasked", 0x1332, 0x1900},
    {"53-bit precision", 0x027F, 0x1F80},
    {"toward zero", 0x0F7F, 0x7F80},
};

struct call_outcome {
    bool raised = false;            // a structured exception reached the caller
    uint32_t eax = 0;
    long double st0 = 0;            // the whole 80-bit ST(0) of a floating result
    int popped = 0;                 // bytes the callee removed from the stack
    bool preserved = false;         // EBX, ESI, EDI and EBP came back unchanged
    int x87_used = 0;               // x87 registers in use after the call
    uint16_t cw_after = 0;
    uint32_t mxcsr_after = 0;
    uint32_t exception_code = 0, exception_flags = 0, exception_params = 0;
    uint32_t exception_param0 = 0, exception_param1 = 0;

    const char* text() const { return reinterpret_cast<const char*>(eax); }
};

struct call_args {
    uint32_t eax = 0, edx = 0, ecx = 0;
    std::vector<uint32_t> words;    // words[0] directly above the return address
};

// The two stack words of a double, low half at the lower address.
void push_double(std::vector<uint32_t>& words, double value);
uint32_t single_bits(float value);
uint32_t pointer_word(const void* p);

call_outcome call(void* fn, const call_args& args, bool fp_result, const fp_state& fp = loaded_fp);

// The exact 80-bit value a double or single result must arrive as.
long double exact(double value);

// A loaded build of the driver.
class driver {
public:
    explicit driver(int port);
    ~driver();
    driver(const driver&) = delete;
    driver& operator=(const driver&) = delete;
    void* fn(const char* name) const;
    void* fn(int ordinal) const;
    HMODULE module() const { return handle; }

private:
    HMODULE handle;
};

std::string dll_name(int port);

// The reply log in the current directory, or "<missing>".
std::string read_memo();
// Puts a reply log of the given content in the current directory.
void write_memo(const std::string& content);

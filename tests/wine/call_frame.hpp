// Calls an export exactly as a host does, from assembly: EAX, EDX and ECX
// loaded, stack words pushed, the host's x87 control word and MXCSR in
// force, and a structured exception handler installed as a host's
// try/except would be. Records what came back and what the callee removed
// from the stack or failed to preserve.
#pragma once
#include <cstddef>
#include <cstdint>

extern "C" {

struct vj_call_frame {
    // In.
    void* fn;
    uint32_t eax, edx, ecx;
    uint32_t word_count;        // 32-bit stack words,
    const uint32_t* words;      // words[0] directly above the return address
    uint32_t fp_result;         // 1: ST(0) holds the result and is popped into st0
    uint16_t host_cw, pad0;
    uint32_t host_mxcsr;
    // Out.
    uint32_t eax_out, edx_out;
    uint32_t ebx_out, esi_out, edi_out, ebp_out;
    int32_t popped;             // bytes the callee removed
    uint32_t mxcsr_out;
    uint8_t fpenv[28];          // FNSTENV right after the call
    uint8_t st0[10];
    uint16_t pad1;
    uint32_t exception_code, exception_flags, exception_params, exception_param0, exception_param1;
};

// Returns 0 after a normal return, 1 when a structured exception was caught.
int vj_call(vj_call_frame* frame);

}  // extern "C"

// The values the callee receives in EBX, ESI, EDI and EBP, and must give back.
constexpr uint32_t kept_ebx = 0x11111111, kept_esi = 0x22222222, kept_edi = 0x33333333, kept_ebp = 0x44444444;

static_assert(offsetof(vj_call_frame, host_cw) == 28, "layout shared with call_thunk.S");
static_assert(offsetof(vj_call_frame, eax_out) == 36, "layout shared with call_thunk.S");
static_assert(offsetof(vj_call_frame, popped) == 60, "layout shared with call_thunk.S");
static_assert(offsetof(vj_call_frame, fpenv) == 68, "layout shared with call_thunk.S");
static_assert(offsetof(vj_call_frame, st0) == 96, "layout shared with call_thunk.S");
static_assert(offsetof(vj_call_frame, exception_code) == 108, "layout shared with call_thunk.S");

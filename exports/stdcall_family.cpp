// The core operations in stdcall: "std" + operation.
#include "exports/pointer_family.hpp"
#include "exports/stack_family.hpp"

#define VJ_FORM(op, result, params, call) \
    VJ_STDCALL result std##op params { return call; }
#include "exports/stack_family.inc"

namespace {
float pstdeas_value;
}  // namespace

// Shares pead's storage and address.
VJ_STDCALL double* pstdead(uint32_t channel) { return pead(narrow16(channel)); }

VJ_STDCALL float* pstdeas(uint32_t channel) {
    pstdeas_value = to_single(stdead(channel));
    return &pstdeas_value;
}

// The title and description with one ignored argument.
VJ_STDCALL const char* titreparam(uint32_t) { return titre(); }
VJ_STDCALL const char* detailparam(uint32_t) { return detail(); }

// The core operations in cdecl: "c" + operation.
#include "exports/stack_family.hpp"

#define VJ_FORM(op, result, params, call) \
    VJ_CDECL result c##op params { return call; }
#include "exports/stack_family.inc"

namespace {
float pceas_value;
}  // namespace

// Only cdecl reads back the integer setting.
VJ_CDECL int32_t crsa(uint32_t channel) { return rsa(narrow16(channel)); }

VJ_CDECL float* pceas(uint32_t channel) {
    pceas_value = to_single(cead(channel));
    return &pceas_value;
}

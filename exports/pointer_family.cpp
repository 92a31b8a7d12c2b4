// Register-convention forms that return the address of their result, held
// in library storage until the next call. A reading that fails to log
// leaves the stored value as it was.
#include "exports/pointer_family.hpp"

#include "channels/reply_fields.hpp"
#include "exports/core.hpp"

namespace {
double pead_value;  // shared with pstdead
double psad_value;
}  // namespace

VJ_REGISTER double* pead(int32_t channel) {
    pead_value = ead(channel);
    return &pead_value;
}

VJ_REGISTER double* psad(int32_t channel, const double* value) {
    // A null pointer sets nothing rather than faulting in the host.
    psad_value = value != nullptr ? sad(channel, *value) : channels::NO_VALUE;
    return &psad_value;
}

#pragma once
#include "exports/conventions.hpp"

VJ_REGISTER double* pead(int32_t channel);
VJ_REGISTER double* psad(int32_t channel, const double* value);

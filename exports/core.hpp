// The core operations in the register convention, through which every
// other export reaches the instrument.
#pragma once
#include "exports/conventions.hpp"

VJ_REGISTER double ead(int32_t channel);
VJ_REGISTER int32_t ea(int32_t channel);
VJ_REGISTER int32_t sa(int32_t channel, int32_t value);
VJ_REGISTER double sad(int32_t channel, double value);
VJ_REGISTER int32_t rsa(int32_t channel);
VJ_REGISTER double rsad(int32_t channel);
VJ_REGISTER const char* nea(int32_t channel);
VJ_REGISTER const char* nead(int32_t channel);
VJ_REGISTER const char* nsa(uint32_t channel);
VJ_REGISTER const char* nsad(int32_t channel);
VJ_REGISTER int32_t eb(int32_t channel);
VJ_REGISTER const char* neb(int32_t channel);
VJ_REGISTER int32_t sb(int32_t channel, int32_t value);
VJ_REGISTER const char* nsb(int32_t channel);
VJ_REGISTER int32_t rsb(int32_t channel);
VJ_REGISTER const char* titre();
VJ_REGISTER const char* detail();

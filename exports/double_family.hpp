// Register-convention members of the double families, the road of the
// text families to the core. Two stack arguments are pushed left to right,
// so the declarations list them last first.
#pragma once
#include "exports/conventions.hpp"

VJ_REGISTER double eadouble(double channel);
VJ_REGISTER const char* neadouble(double channel);
VJ_REGISTER double sadouble(double value, double channel);
VJ_REGISTER const char* nsadouble(double channel);
VJ_REGISTER double ebdouble(double channel);
VJ_REGISTER const char* nebdouble(double channel);
VJ_REGISTER double sbdouble(double value, double channel);
VJ_REGISTER const char* nsbdouble(double channel);

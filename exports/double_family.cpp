// The double families in the three conventions: "<op>double",
// "std<op>double" and "c<op>double".
#include "exports/double_family.hpp"

#include "exports/core.hpp"
#include "numtext/numtext.hpp"

using numtext::round_to_int;

#define VJ_FORM1(op, result, call)                                               \
    VJ_REGISTER result op##double(double channel) { return call; }             \
    VJ_STDCALL result std##op##double(double channel) { return call; }         \
    VJ_CDECL result c##op##double(double channel) { return call; }
// The register convention lays the two doubles out in the opposite order.
#define VJ_FORM2(op, result, call)                                                       \
    VJ_REGISTER result op##double(double value, double channel) { return call; }       \
    VJ_STDCALL result std##op##double(double channel, double value) { return call; }   \
    VJ_CDECL result c##op##double(double channel, double value) { return call; }
#include "exports/double_family.inc"

// The title and description with one ignored double.
VJ_STDCALL const char* titreparamdouble(double) { return titre(); }
VJ_STDCALL const char* detailparamdouble(double) { return detail(); }

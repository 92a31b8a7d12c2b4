// The text families: every number a text, in stdcall ("std<op>str") and
// cdecl ("c<op>str"), through the register-convention double members.
#include "exports/conventions.hpp"
#include "exports/double_family.hpp"
#include "numtext/numtext.hpp"

namespace {

// A text that is not a number still gives a value: the digits read before
// the error. A null pointer reads as the empty text.
double parse_text_arg(const char* text) { return numtext::parse_number(text).value; }

struct number_text {
    char chars[numtext::number_text_length + 1];
};

const char* format_text_result(double value, number_text& storage) {
    numtext::format_number(value, storage.chars);
    storage.chars[numtext::number_text_length] = '\0';
    return storage.chars;
}

// One result text per numeric export, valid until its next call.
number_text stdeadstr_text, stdsadstr_text, stdebstr_text, stdsbstr_text;
number_text ceadstr_text, csadstr_text, cebstr_text, csbstr_text;

}  // namespace

#define VJ_NUMBER1(name, member, conv) \
    conv const char* name(const char* channel) { \
        return format_text_result(member(parse_text_arg(channel)), name##_text); }
#define VJ_NUMBER2(name, member, conv) \
    conv const char* name(const char* channel, const char* value) { \
        const double c = parse_text_arg(channel); \
        return format_text_result(member(parse_text_arg(value), c), name##_text); }
#define VJ_NAME1(name, member, conv) \
    conv const char* name(const char* channel) { return member(parse_text_arg(channel)); }

VJ_NUMBER1(stdeadstr, eadouble, VJ_STDCALL)
VJ_NAME1(stdneadstr, neadouble, VJ_STDCALL)
VJ_NUMBER2(stdsadstr, sadouble, VJ_STDCALL)
VJ_NAME1(stdnsadstr, nsadouble, VJ_STDCALL)
VJ_NUMBER1(stdebstr, ebdouble, VJ_STDCALL)
VJ_NAME1(stdnebstr, nebdouble, VJ_STDCALL)
VJ_NUMBER2(stdsbstr, sbdouble, VJ_STDCALL)
VJ_NAME1(stdnsbstr, nsbdouble, VJ_STDCALL)

VJ_NUMBER1(ceadstr, eadouble, VJ_CDECL)
VJ_NAME1(cneadstr, neadouble, VJ_CDECL)
VJ_NUMBER2(csadstr, sadouble, VJ_CDECL)
VJ_NAME1(cnsadstr, nsadouble, VJ_CDECL)
VJ_NUMBER1(cebstr, ebdouble, VJ_CDECL)
VJ_NAME1(cnebstr, nebdouble, VJ_CDECL)
VJ_NUMBER2(csbstr, sbdouble, VJ_CDECL)
VJ_NAME1(cnsbstr, nsbdouble, VJ_CDECL)

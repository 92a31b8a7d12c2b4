// The three calling conventions of the exports (32-bit x86).
#pragma once
#include <cstdint>

// First three integer or pointer arguments in EAX, EDX, ECX; doubles and
// further arguments on the stack, pushed left to right, so a function with
// two stack arguments declares them last first; the callee removes them.
#define VJ_REGISTER extern "C" __attribute__((regparm(3), stdcall))
// Stack, pushed right to left; the callee removes the arguments.
#define VJ_STDCALL extern "C" __attribute__((stdcall))
// Stack, pushed right to left; the caller removes the arguments.
#define VJ_CDECL extern "C" __attribute__((cdecl))

// A 16-bit channel or value in a 32-bit slot: the high half is undefined.
inline int32_t narrow16(uint32_t slot) { return static_cast<int32_t>(slot & 0xFFFFu); }

// What the stdcall and cdecl families share.
#pragma once
#include <cstring>

#include "exports/core.hpp"
#include "numtext/numtext.hpp"

using numtext::to_double;
using numtext::to_single;

// The single nearest 77.77, bits 0x429B8A3D.
inline float fixed_single_reading() {
    const uint32_t bits = 0x429B8A3Du;
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

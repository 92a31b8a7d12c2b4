// What the stdcall and cdecl families share.
#pragma once
#include "exports/core.hpp"
#include "numtext/bits.hpp"
#include "numtext/numtext.hpp"

using numtext::to_double;
using numtext::to_single;

// The single nearest 77.77, bits 0x429B8A3D.
inline float fixed_single_reading() { return numtext::detail::float_from_bits(0x429B8A3Du); }

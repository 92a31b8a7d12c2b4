// Build-time settings of the driver, given their values by the load
// sequence and read-only afterwards.
#pragma once
#include "serial/link.hpp"

namespace frame {

// The device of this build, "com1:" to "com5:".
extern char port_name[8];
// The line mode, in the system's mode syntax.
extern char port_mode[40];
using serial::TIMEOUT_MS;

// This build's port text; one object file per build defines it.
extern const char build_port_text[];

// Runs once when the library is attached to a process.
void load_sequence();

}  // namespace frame

#include <cstring>

#include "frame/settings.hpp"
#include "serial/win32_port.hpp"

namespace frame {

char port_name[8];
char port_mode[40];

namespace {

// 64-bit precision and rounding to nearest for the loading thread, keeping
// its exception masks so the host's own arithmetic faults as it did before.
void set_x87_mode() {
    unsigned short cw;
    asm volatile("fnstcw %0" : "=m"(cw));
    asm volatile("fninit");
    cw = static_cast<unsigned short>((cw & ~0x0F00u) | 0x0300u);
    asm volatile("fldcw %0" : : "m"(cw));
}

}  // namespace

void load_sequence() {
    set_x87_mode();
    std::strcpy(port_name, build_port_text);
    std::strcpy(port_mode, "baud=1200 parity=o data=7 stop=1 ");
    serial::the_port().open(port_name, port_mode);
}

}  // namespace frame

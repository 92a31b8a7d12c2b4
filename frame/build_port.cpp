#include "frame/settings.hpp"

#ifndef VJ_PORT_NUMBER
#error "each build names its port number"
#endif
#define VJ_TEXT(x) #x
#define VJ_PORT_TEXT(n) "com" VJ_TEXT(n) ":"

namespace frame {
const char build_port_text[] = VJ_PORT_TEXT(VJ_PORT_NUMBER);
}

#include <windows.h>

#include "frame/settings.hpp"

// The library runs only at process attach; it registers nothing for the
// other notifications and never closes its port.
extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) frame::load_sequence();
    return TRUE;
}

// Records what a library passes to the system's serial calls while it
// loads, by pointing kernel32's exports at recorders that then call the
// real functions. Only libraries loaded while a spy lives are affected.
#pragma once
#include <windows.h>

#include <string>

struct port_open_calls {
    std::string device;
    DWORD access = 0, share = 0xFFFFFFFF, disposition = 0, attributes = 0;
    DWORD in_queue = 0, out_queue = 0;
    bool state_set = false;
    DCB dcb{};
    bool timeouts_set = false;
    COMMTIMEOUTS timeouts{};
};

class platform_spy {
public:
    platform_spy();
    ~platform_spy();
    platform_spy(const platform_spy&) = delete;
    platform_spy& operator=(const platform_spy&) = delete;
    const port_open_calls& calls() const;
};

#include "serial/win32_port.hpp"

#include "serial/link.hpp"

namespace serial {
namespace {

// Where the system cannot read the mode text (Wine refuses its trailing
// blank), the same line is set directly, as the mode text asks and with
// flow control off, as the system does when it reads such a text.
void set_mode_directly(DCB& dcb) {
    dcb.BaudRate = CBR_1200;
    dcb.ByteSize = 7;
    dcb.Parity = ODDPARITY;
    dcb.fParity = TRUE;
    dcb.StopBits = ONESTOPBIT;
    dcb.fOutxCtsFlow = FALSE;
    dcb.fOutxDsrFlow = FALSE;
    dcb.fDtrControl = DTR_CONTROL_ENABLE;
    dcb.fRtsControl = RTS_CONTROL_ENABLE;
    dcb.fOutX = FALSE;
    dcb.fInX = FALSE;
}

}  // namespace

void win32_port::open(const char* port_name, const char* port_mode) {
    port_handle = CreateFileA(port_name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    SetupComm(port_handle, 256, 256);
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    GetCommState(port_handle, &dcb);
    if (!BuildCommDCBA(port_mode, &dcb)) set_mode_directly(dcb);
    SetCommState(port_handle, &dcb);
    COMMTIMEOUTS timeouts{};
    timeouts.ReadTotalTimeoutConstant = TIMEOUT_MS;
    timeouts.WriteTotalTimeoutConstant = TIMEOUT_MS;
    SetCommTimeouts(port_handle, &timeouts);
}

uint32_t win32_port::tick_count() { return GetTickCount(); }

bool win32_port::clear_errors(uint32_t& in_queue) {
    DWORD errors = 0;
    COMSTAT stat{};
    if (!ClearCommError(port_handle, &errors, &stat)) return false;
    in_queue = stat.cbInQue;
    return true;
}

bool win32_port::read_byte(uint8_t& byte) {
    DWORD got = 0;
    return ReadFile(port_handle, &byte, 1, &got, nullptr) && got == 1;
}

void win32_port::write(const uint8_t* bytes, std::size_t count) {
    DWORD written = 0;
    WriteFile(port_handle, bytes, static_cast<DWORD>(count), &written, nullptr);
}

namespace {
win32_port port;
}  // namespace

win32_port& the_port() { return port; }

}  // namespace serial

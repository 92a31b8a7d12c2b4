#include "channels/file_reply_log.hpp"

#include <windows.h>

#include <cstring>

#include "serial/link.hpp"

namespace channels {
namespace {

file_reply_log log;
// The message of the last error lives here, so the host can read it
// after the exception has left the library.
char error_text[io_error_text_capacity];

// A short write means the disk took no more.
constexpr DWORD DISK_FULL = 101;

}  // namespace

file_reply_log& the_log() { return log; }

uint32_t file_reply_log::rewrite(const uint8_t* bytes, std::size_t count) {
    HANDLE file = CreateFileA("memo.txt", GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return GetLastError();

    uint8_t text[serial::reply_line::capacity + 2];
    if (count > serial::reply_line::capacity) count = serial::reply_line::capacity;
    std::memcpy(text, bytes, count);
    text[count] = '\r';
    text[count + 1] = '\n';
    DWORD written = 0;
    DWORD error = 0;
    if (!WriteFile(file, text, static_cast<DWORD>(count + 2), &written, nullptr)) error = GetLastError();
    else if (written != count + 2) error = DISK_FULL;
    if (!CloseHandle(file) && error == 0) error = GetLastError();
    return error;
}

void raise_io_error(uint32_t code) {
    io_error_text(code, error_text);
    const ULONG_PTR arguments[2] = {code, reinterpret_cast<ULONG_PTR>(error_text)};
    RaiseException(IO_ERROR_EXCEPTION, EXCEPTION_NONCONTINUABLE, 2, arguments);
    for (;;) {
    }  // a noncontinuable exception never comes back here
}

}  // namespace channels

#include "platform_spy.hpp"

#include <cstring>

namespace {

port_open_calls recorded;

struct export_slot {
    DWORD* slot = nullptr;
    DWORD original_rva = 0;
};

// The entry of kernel32's export address table for `name`.
DWORD* export_entry(HMODULE module, const char* name) {
    auto* base = reinterpret_cast<uint8_t*>(module);
    auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
    auto* nt = reinterpret_cast<IMAGE_NT_HEADERS32*>(base + dos->e_lfanew);
    const auto& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
    auto* exports = reinterpret_cast<IMAGE_EXPORT_DIRECTORY*>(base + dir.VirtualAddress);
    auto* names = reinterpret_cast<DWORD*>(base + exports->AddressOfNames);
    auto* ordinals = reinterpret_cast<WORD*>(base + exports->AddressOfNameOrdinals);
    auto* functions = reinterpret_cast<DWORD*>(base + exports->AddressOfFunctions);
    for (DWORD i = 0; i < exports->NumberOfNames; ++i) {
        if (std::strcmp(reinterpret_cast<char*>(base + names[i]), name) == 0) return &functions[ordinals[i]];
    }
    return nullptr;
}

void write_entry(DWORD* slot, DWORD value) {
    DWORD old;
    VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &old);
    *slot = value;
    VirtualProtect(slot, sizeof *slot, old, &old);
}

decltype(&CreateFileA) real_create;
decltype(&SetupComm) real_setup;
decltype(&SetCommState) real_set_state;
decltype(&SetCommTimeouts) real_set_timeouts;

HANDLE WINAPI spy_create(LPCSTR name, DWORD access, DWORD share, LPSECURITY_ATTRIBUTES security,
                         DWORD disposition, DWORD attributes, HANDLE templ) {
    if (std::strncmp(name, "com", 3) == 0) {
        recorded.device = name;
        recorded.access = access;
        recorded.share = share;
        recorded.disposition = disposition;
        recorded.attributes = attributes;
    }
    return real_create(name, access, share, security, disposition, attributes, templ);
}

BOOL WINAPI spy_setup(HANDLE h, DWORD in, DWORD out) {
    recorded.in_queue = in;
    recorded.out_queue = out;
    return real_setup(h, in, out);
}

BOOL WINAPI spy_set_state(HANDLE h, LPDCB dcb) {
    recorded.state_set = true;
    recorded.dcb = *dcb;
    return real_set_state(h, dcb);
}

BOOL WINAPI spy_set_timeouts(HANDLE h, LPCOMMTIMEOUTS t) {
    recorded.timeouts_set = true;
    recorded.timeouts = *t;
    return real_set_timeouts(h, t);
}

export_slot slots[4];

template <class F>
void redirect(int i, const char* name, F& real, F spy) {
    HMODULE kernel32 = GetModuleHandleA("kernel32.dll");
    real = reinterpret_cast<F>(GetProcAddress(kernel32, name));
    slots[i].slot = export_entry(kernel32, name);
    slots[i].original_rva = *slots[i].slot;
    write_entry(slots[i].slot, static_cast<DWORD>(reinterpret_cast<uintptr_t>(spy) -
                                                  reinterpret_cast<uintptr_t>(kernel32)));
}

}  // namespace

platform_spy::platform_spy() {
    recorded = port_open_calls{};
    redirect(0, "CreateFileA", real_create, &spy_create);
    redirect(1, "SetupComm", real_setup, &spy_setup);
    redirect(2, "SetCommState", real_set_state, &spy_set_state);
    redirect(3, "SetCommTimeouts", real_set_timeouts, &spy_set_timeouts);
}

platform_spy::~platform_spy() {
    for (const export_slot& s : slots) write_entry(s.slot, s.original_rva);
}

const port_open_calls& platform_spy::calls() const { return recorded; }

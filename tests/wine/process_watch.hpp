// What the test process itself holds, to tell a leak in a long run: open
// handles, committed memory and heap in use.
#pragma once
#include <windows.h>
#include <psapi.h>

#include <cstddef>
#include <cstdio>

struct footprint {
    std::size_t handles;
    std::size_t committed;  // private bytes
    std::size_t heap;       // bytes in busy blocks of every process heap
};

// Wine answers GetProcessHandleCount with 0; there the handle table is
// probed instead. Handles are handed out from the lowest free slot, so the
// probe stops after a long run of unused slots.
inline std::size_t open_handles() {
    DWORD count = 0;
    if (GetProcessHandleCount(GetCurrentProcess(), &count) && count != 0) return count;
    std::size_t found = 0, unused_run = 0;
    for (ULONG_PTR value = 4; unused_run < 512; value += 4) {
        DWORD flags;
        if (GetHandleInformation(reinterpret_cast<HANDLE>(value), &flags)) {
            ++found;
            unused_run = 0;
        } else {
            ++unused_run;
        }
    }
    return found;
}

// Memory committed privately to the process. Wine leaves PrivateUsage at 0
// (and its PagefileUsage measures the emulator's host process under
// qemu-user); there the address space is walked instead.
inline std::size_t committed_bytes() {
    PROCESS_MEMORY_COUNTERS_EX m{};
    m.cb = sizeof m;
    if (GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&m), sizeof m) &&
        m.PrivateUsage != 0)
        return m.PrivateUsage;
    std::size_t total = 0;
    MEMORY_BASIC_INFORMATION region;
    for (const char* at = nullptr; VirtualQuery(at, &region, sizeof region) == sizeof region;) {
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE) total += region.RegionSize;
        const char* next = static_cast<const char*>(region.BaseAddress) + region.RegionSize;
        if (next <= at) break;
        at = next;
    }
    return total;
}

inline std::size_t heap_in_use() {
    HANDLE heaps[256];
    const DWORD count = GetProcessHeaps(256, heaps);
    std::size_t total = 0;
    for (DWORD i = 0; i < count && i < 256; ++i) {
        if (!HeapLock(heaps[i])) continue;
        PROCESS_HEAP_ENTRY entry{};
        while (HeapWalk(heaps[i], &entry))
            if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) total += entry.cbData;
        HeapUnlock(heaps[i]);
    }
    return total;
}

inline footprint measure_footprint() { return {open_handles(), committed_bytes(), heap_in_use()}; }

inline void print_footprint(const char* when, const footprint& f) {
    std::printf("  %-7s handles %zu, committed %zu KiB, heap in use %zu bytes\n", when, f.handles,
                f.committed / 1024, f.heap);
    std::fflush(stdout);
}

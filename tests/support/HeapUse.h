#pragma once
// Bytes in the busy blocks of every heap of the process: what GDI+ (through
// GdipAlloc) and everything else has allocated and not freed. A block left
// behind counts wherever it landed, whatever free room the heaps kept.
#include <windows.h>

#include <cstddef>

inline std::size_t HeapBytesInUse() {
    HANDLE heaps[256];
    const DWORD heapCount = GetProcessHeaps(256, heaps);
    std::size_t total = 0;
    for (DWORD i = 0; i < heapCount && i < 256; ++i) {
        if (!HeapLock(heaps[i]))
            continue;
        PROCESS_HEAP_ENTRY entry{};
        while (HeapWalk(heaps[i], &entry))
            if (entry.wFlags & PROCESS_HEAP_ENTRY_BUSY)
                total += entry.cbData;
        HeapUnlock(heaps[i]);
    }
    return total;
}

#pragma once
// The process's resources as a leak check sees them: GDI objects, USER
// objects, kernel handles, private bytes and the bytes in use on its heaps.
//
// Each is asked of the documented function first (GetGuiResources,
// GetProcessHandleCount, GetProcessMemoryInfo). Wine 8 answers 0 for all
// four; then the count comes from a second source that Wine does keep:
// the GDI handle table the PEB points to, the process's windows, the
// system handle list, and the committed private regions (VirtualQuery).
#include "support/HeapUse.h"

#include <windows.h>
#include <psapi.h>
#include <winternl.h>

#include <cstdint>
#include <string>
#include <vector>

struct ResourceSample {
    std::uint64_t frames = 0;
    std::uint32_t gdiObjects = 0;
    std::uint32_t userObjects = 0;
    std::uint32_t handles = 0;
    std::uint64_t privateBytes = 0;
    std::uint64_t heapBytes = 0; // in the busy blocks of every heap of the process
};

// Where each figure came from, for the failure messages.
struct ResourceSources {
    const char* gdi = "GetGuiResources";
    const char* user = "GetGuiResources";
    const char* handles = "GetProcessHandleCount";
    const char* privateBytes = "PrivateUsage";
};

namespace soak_detail {

// One entry of the GDI handle table (24 bytes on 32-bit and 64-bit Windows
// alike); an entry in use has a non-zero type.
struct GdiHandleEntry {
    std::uint64_t object;
    std::uint32_t owner;
    std::uint16_t unique;
    std::uint8_t type;
    std::uint8_t flags;
    std::uint64_t userPointer;
};
static_assert(sizeof(GdiHandleEntry) == 24);

template <class Function> Function NtdllFunction(const char* name) {
    return reinterpret_cast<Function>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"ntdll.dll"), name)));
}

inline std::uint32_t GdiTableCount() {
    using Query = NTSTATUS(NTAPI*)(HANDLE, PROCESSINFOCLASS, PVOID, ULONG, PULONG);
    const auto query = NtdllFunction<Query>("NtQueryInformationProcess");
    PROCESS_BASIC_INFORMATION basic{};
    if (!query || query(GetCurrentProcess(), ProcessBasicInformation, &basic, sizeof basic, nullptr) != 0 ||
        !basic.PebBaseAddress)
        return 0;
    const auto* peb = reinterpret_cast<const std::uint8_t*>(basic.PebBaseAddress);
    // PEB.GdiSharedHandleTable.
    const auto* table =
        *reinterpret_cast<const GdiHandleEntry* const*>(peb + (sizeof(void*) == 8 ? 0xF8 : 0x94));
    if (!table)
        return 0;
    std::uint32_t count = 0;
    for (std::size_t i = 0; i < 0x10000; ++i) {
        if (table[i].type)
            ++count;
    }
    return count;
}

inline BOOL CALLBACK CountWindow(HWND window, LPARAM parameter) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == GetCurrentProcessId()) {
        auto* count = reinterpret_cast<std::uint32_t*>(parameter);
        ++*count;
        EnumChildWindows(window, CountWindow, parameter);
    }
    return TRUE;
}

inline std::uint32_t WindowCount() {
    std::uint32_t count = 0;
    EnumWindows(CountWindow, reinterpret_cast<LPARAM>(&count));
    return count;
}

struct SystemHandle {
    ULONG processId;
    BYTE objectType;
    BYTE flags;
    USHORT handle;
    PVOID object;
    ACCESS_MASK access;
};

inline std::uint32_t SystemHandleCount() {
    constexpr auto SystemHandleInformation = static_cast<SYSTEM_INFORMATION_CLASS>(16);
    constexpr NTSTATUS InfoLengthMismatch = static_cast<NTSTATUS>(0xC0000004);
    using Query = NTSTATUS(NTAPI*)(SYSTEM_INFORMATION_CLASS, PVOID, ULONG, PULONG);
    const auto query = NtdllFunction<Query>("NtQuerySystemInformation");
    if (!query)
        return 0;
    std::vector<std::uint8_t> buffer(1 << 20);
    NTSTATUS status = 0;
    while ((status = query(SystemHandleInformation, buffer.data(), static_cast<ULONG>(buffer.size()),
                           nullptr)) == InfoLengthMismatch)
        buffer.resize(buffer.size() * 2);
    if (status != 0)
        return 0;
    const ULONG count = *reinterpret_cast<const ULONG*>(buffer.data());
    const auto* handles = reinterpret_cast<const SystemHandle*>(buffer.data() + sizeof(void*));
    std::uint32_t own = 0;
    for (ULONG i = 0; i < count; ++i) {
        if (handles[i].processId == GetCurrentProcessId())
            ++own;
    }
    return own;
}

inline std::uint64_t CommittedPrivateBytes() {
    std::uint64_t total = 0;
    MEMORY_BASIC_INFORMATION region{};
    const std::uint8_t* address = nullptr;
    while (VirtualQuery(address, &region, sizeof region) == sizeof region) {
        if (region.State == MEM_COMMIT && region.Type == MEM_PRIVATE)
            total += region.RegionSize;
        const auto* next = static_cast<const std::uint8_t*>(region.BaseAddress) + region.RegionSize;
        if (next <= address)
            break;
        address = next;
    }
    return total;
}

} // namespace soak_detail

inline ResourceSample SampleResources(std::uint64_t frames, ResourceSources* sources = nullptr) {
    using namespace soak_detail;
    ResourceSources used;
    ResourceSample sample;
    sample.frames = frames;
    const HANDLE process = GetCurrentProcess();
    sample.gdiObjects = GetGuiResources(process, GR_GDIOBJECTS);
    if (sample.gdiObjects == 0) {
        sample.gdiObjects = GdiTableCount();
        used.gdi = "the PEB's GDI handle table";
    }
    sample.userObjects = GetGuiResources(process, GR_USEROBJECTS);
    if (sample.userObjects == 0) {
        sample.userObjects = WindowCount();
        used.user = "the process's windows";
    }
    DWORD handles = 0;
    if (!GetProcessHandleCount(process, &handles) || handles == 0) {
        handles = SystemHandleCount();
        used.handles = "the system handle list";
    }
    sample.handles = handles;
    PROCESS_MEMORY_COUNTERS_EX memory{};
    memory.cb = sizeof memory;
    if (GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory))
        sample.privateBytes = memory.PrivateUsage;
    if (sample.privateBytes == 0) {
        sample.privateBytes = CommittedPrivateBytes();
        used.privateBytes = "committed private regions";
    }
    sample.heapBytes = ::HeapBytesInUse();
    if (sources)
        *sources = used;
    return sample;
}

inline std::string Describe(const ResourceSample& s) {
    return "after " + std::to_string(s.frames) + " frames: " + std::to_string(s.gdiObjects) +
           " GDI objects, " + std::to_string(s.userObjects) + " USER objects, " + std::to_string(s.handles) +
           " handles, " + std::to_string(s.privateBytes / 1024) + " KiB private, " +
           std::to_string(s.heapBytes) + " heap bytes";
}

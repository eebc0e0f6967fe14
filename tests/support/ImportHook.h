#pragma once
// Replaces, while it lives, one entry of this executable's import table. The
// libraries under test are linked into the test executable, so their calls
// to GDI+ or USER go through that table: a test sees exactly what a wrapper
// hands to the system, and can keep a call away from a stub that would end
// the process.
#include <windows.h>

#include <cstdint>
#include <cstring>

class ImportHook {
public:
    ImportHook(const char* dll, const char* function, void* replacement) : slot(FindSlot(dll, function)) {
        if (slot) {
            original = *slot;
            Write(replacement);
        }
    }
    ~ImportHook() {
        if (slot)
            Write(original);
    }
    ImportHook(const ImportHook&) = delete;
    ImportHook& operator=(const ImportHook&) = delete;

    bool Installed() const { return slot != nullptr; }
    // The function the entry held before: the replacement may call on to it.
    template <class Function> Function Original() const { return reinterpret_cast<Function>(original); }

private:
    static void** FindSlot(const char* dll, const char* function) {
        auto* base = reinterpret_cast<std::uint8_t*>(GetModuleHandleW(nullptr));
        const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
        const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
        const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
        if (!imports.VirtualAddress)
            return nullptr;
        for (auto* entry = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress);
             entry->Name; ++entry) {
            if (lstrcmpiA(reinterpret_cast<const char*>(base + entry->Name), dll) != 0)
                continue;
            const DWORD namesAt = entry->OriginalFirstThunk ? entry->OriginalFirstThunk : entry->FirstThunk;
            auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + namesAt);
            auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + entry->FirstThunk);
            for (; names->u1.AddressOfData; ++names, ++slots) {
                if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal))
                    continue;
                const auto* byName =
                    reinterpret_cast<const IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
                if (std::strcmp(reinterpret_cast<const char*>(byName->Name), function) == 0)
                    return reinterpret_cast<void**>(&slots->u1.Function);
            }
        }
        return nullptr;
    }

    void Write(void* value) {
        DWORD protection = 0;
        VirtualProtect(slot, sizeof(void*), PAGE_READWRITE, &protection);
        *slot = value;
        VirtualProtect(slot, sizeof(void*), protection, &protection);
    }

    void** slot = nullptr;
    void* original = nullptr;
};

// Whether the tests run under Wine (its ntdll exports wine_get_version):
// only to tell Wine's known gaps from faults, never in the program.
inline bool RunningUnderWine() {
    static const bool underWine =
        GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
    return underWine;
}

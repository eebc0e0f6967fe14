#include "app/DllSearch.h"

#include "framework/Services.h"

#include <windows.h>

namespace {

// The DLLs the program loads by name after its start (delay-loaded).
constexpr const wchar_t* LaterLoadedDlls[] = {L"gdiplus.dll", L"comdlg32.dll"};

} // namespace

void RestrictDllSearchToSystemFolder() {
    // Resolved at run time: Windows 7 has the call only with its 2011 loader
    // update (KB2533623), and an import of it would keep the program from
    // starting without it.
    using SetDefaultDllDirectoriesFunction = BOOL(WINAPI*)(DWORD);
    const auto setDefaultDllDirectories =
        reinterpret_cast<SetDefaultDllDirectoriesFunction>(reinterpret_cast<void*>(
            GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories")));
    if (setDefaultDllDirectories && setDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32))
        return;
    // Without it the current folder can still be dropped from the search,
    // but the program's own folder stays first: the DLLs loaded later are
    // loaded now by full path, and a later load by name finds them loaded.
    // They stay loaded for the life of the process, as imports do.
    SetDllDirectoryW(L"");
    for (const wchar_t* name : LaterLoadedDlls)
        LoadSystemDll(name);
}

// A DLL planted beside a copy of the program under the name of a DLL the
// program uses, as a web page or another program could drop one there.
// Loaded, it leaves a marker file beside itself (its own name and ".ran")
// and ends the process with exit code 42 before the program runs a line.
#include <windows.h>

#include <string>

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason != DLL_PROCESS_ATTACH)
        return TRUE;
    wchar_t path[MAX_PATH]{};
    const DWORD length = GetModuleFileNameW(instance, path, MAX_PATH);
    const std::wstring marker = std::wstring(path, length) + L".ran";
    WritePrivateProfileStringW(L"planted", L"ran", L"1", marker.c_str());
    ExitProcess(42);
}

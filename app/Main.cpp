#include "app/DllSearch.h"
#include "app/Lifetime.h"

#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    RestrictDllSearchToSystemFolder();
    return RunProgram();
}

#pragma once
// Where the process looks for a DLL it loads by name.

// Restricts the search to the system folder. A DLL that is not one of
// Windows' known DLLs is otherwise looked for in the program's own folder
// first, where anyone who can write to that folder can plant one. Called
// first, before anything loads a DLL by name.
void RestrictDllSearchToSystemFolder();

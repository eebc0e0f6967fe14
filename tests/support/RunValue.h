#pragma once
// Reading the start-with-Windows value back from the registry.
#include "app/SystemIntegration.h"
#include "framework/Services.h"

#include <optional>
#include <string>

// The REG_SZ data (terminator included) of the Run value with that name,
// machine-wide or under another root.
inline std::optional<std::wstring> ReadRunValue(const std::wstring& name, HKEY root = HKEY_LOCAL_MACHINE) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, RunKeyPath, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return std::nullopt;
    wchar_t data[1024]{};
    DWORD size = sizeof data;
    DWORD type = 0;
    const LONG result =
        RegQueryValueExW(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS || type != REG_SZ)
        return std::nullopt;
    return std::wstring(data, size / sizeof(wchar_t));
}

// The name of this executable's Run value.
inline std::wstring OwnRunValueName() {
    return RunValueNameFor(ExecutablePath());
}

// Whether this executable's Run value exists.
inline bool RunValueExists() {
    return ReadRunValue(OwnRunValueName()).has_value();
}

// Plants Task Manager's "disabled" (first byte 03) for the Run value of that
// name, as the Startup tab leaves it.
inline void PlantDisabledStartup(const std::wstring& name, HKEY root = HKEY_LOCAL_MACHINE) {
    HKEY key = nullptr;
    if (RegCreateKeyW(root, StartupApprovedKeyPath, &key) != ERROR_SUCCESS)
        return;
    const BYTE disabled[12] = {3};
    RegSetValueExW(key, name.c_str(), 0, REG_BINARY, disabled, sizeof disabled);
    RegCloseKey(key);
}

// Whether Task Manager's choice for the Run value of that name is recorded.
inline bool StartupChoiceExists(const std::wstring& name, HKEY root = HKEY_LOCAL_MACHINE) {
    return RegGetValueW(root, StartupApprovedKeyPath, name.c_str(), RRF_RT_ANY, nullptr, nullptr, nullptr) ==
           ERROR_SUCCESS;
}

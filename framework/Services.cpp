#include "framework/Services.h"

#include "framework/UniqueHandle.h"

#include <array>

namespace {

ClockSource clockSource = nullptr;

std::string ModulePath() {
    std::array<char, 1024> buffer{};
    const DWORD length = GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0 || length >= buffer.size())
        return {};
    return std::string(buffer.data(), length);
}

std::size_t LastBackslash(std::string_view path) {
    // GBK trail bytes can be 0x5C: walk the text by characters, not bytes.
    std::size_t last = std::string_view::npos;
    for (std::size_t i = 0; i < path.size(); ++i) {
        if (IsDBCSLeadByte(static_cast<BYTE>(path[i])) && i + 1 < path.size()) {
            ++i;
            continue;
        }
        if (path[i] == '\\')
            last = i;
    }
    return last;
}

} // namespace

std::string FileNamePart(std::string_view path) {
    const std::size_t slash = LastBackslash(path);
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string DirectoryPart(std::string_view path) {
    const std::size_t slash = LastBackslash(path);
    return slash == std::string_view::npos ? std::string() : std::string(path.substr(0, slash));
}

std::string ProgramDirectory() {
    return DirectoryPart(ModulePath());
}

std::string ExecutableFileName() {
    return FileNamePart(ModulePath());
}

std::string ReadIniText(const std::string& path, const std::string& section, const std::string& key,
                        const std::string& defaultText) {
    std::string buffer(IniReadBufferSize, '\0');
    const DWORD length = GetPrivateProfileStringA(section.c_str(), key.c_str(), defaultText.c_str(),
                                                  buffer.data(), IniReadBufferSize, path.c_str());
    buffer.resize(length);
    return buffer;
}

bool WriteIniText(const std::string& path, const std::string& section, const std::string& key,
                  const std::string& value) {
    return WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), path.c_str()) != FALSE;
}

bool FileExists(const std::string& path) {
    WIN32_FIND_DATAA found{};
    const HANDLE search = FindFirstFileA(path.c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return false;
    FindClose(search);
    return true;
}

ScreenSize PrimaryScreenSize() {
    return {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

SYSTEMTIME ReadLocalTime() {
    if (clockSource)
        return clockSource();
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return now;
}

void SetClockSource(ClockSource source) {
    clockSource = source;
}

void SleepMilliseconds(DWORD milliseconds) {
    Sleep(milliseconds);
}

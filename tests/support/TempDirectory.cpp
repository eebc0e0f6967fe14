#include "support/TempDirectory.h"

#include "framework/TextConversion.h"

#include <windows.h>

#include <fstream>
#include <iterator>

TempDirectory::TempDirectory() {
    char temp[MAX_PATH]{};
    GetTempPathA(MAX_PATH, temp);
    static int serial = 0;
    path = std::string(temp) + "tiko-test-" + std::to_string(GetCurrentProcessId()) + "-" +
           std::to_string(GetTickCount()) + "-" + std::to_string(++serial);
    CreateDirectoryA(path.c_str(), nullptr);
}

TempDirectory::~TempDirectory() {
    WIN32_FIND_DATAA entry{};
    HANDLE search = FindFirstFileA((path + "\\*").c_str(), &entry);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            const std::string file = path + "\\" + entry.cFileName;
            if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
                SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(file.c_str());
            }
        } while (FindNextFileA(search, &entry));
        FindClose(search);
    }
    RemoveDirectoryA(path.c_str());
}

std::wstring TempDirectory::WideFile(const std::string& name) const {
    return AnsiToWide(File(name));
}

std::string ReadFileBytes(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
}

void WriteFileBytes(const std::string& path, const std::string& bytes) {
    std::ofstream file(path, std::ios::binary);
    file << bytes;
}

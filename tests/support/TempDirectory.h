#pragma once
// A fresh directory under the temporary path, removed with its files.
#include <string>

class TempDirectory {
public:
    TempDirectory();
    ~TempDirectory();
    TempDirectory(const TempDirectory&) = delete;
    TempDirectory& operator=(const TempDirectory&) = delete;

    const std::string& Path() const { return path; }
    std::string File(const std::string& name) const { return path + "\\" + name; }
    // The same path for the wide calls.
    std::wstring WideFile(const std::string& name) const;

private:
    std::string path;
};

std::string ReadFileBytes(const std::string& path);
void WriteFileBytes(const std::string& path, const std::string& bytes);

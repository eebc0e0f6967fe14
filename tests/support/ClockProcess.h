#pragma once
// The real TikoClock.exe, started as a user would start it: a copy in a
// fresh directory of its own (or in a folder of the given name inside it),
// so that its "配置.ini" lands there; or a program installed elsewhere,
// started where it is.
#include <windows.h>

#include <chrono>
#include <optional>
#include <string>
#include <string_view>

class ClockProcess {
public:
    explicit ClockProcess(std::wstring_view programFolder = {});
    // The program at that path, started in its own folder, which is left as
    // it is.
    explicit ClockProcess(const std::string& installedExecutable);
    ~ClockProcess(); // ends a process still running and removes its own directory
    ClockProcess(const ClockProcess&) = delete;
    ClockProcess& operator=(const ClockProcess&) = delete;

    // The fresh directory, and the folder the program lies in.
    const std::wstring& Root() const { return root; }
    const std::wstring& WideDirectory() const { return directory; }
    std::wstring ExecutablePath() const;
    std::wstring WideIniPath() const { return directory + L"\\配置.ini"; }
    // The same in the ANSI code page, for the ANSI calls of the tests.
    std::string Directory() const;
    std::string IniPath() const;
    // Writes the settings file before the start (GBK bytes as given).
    void WriteIni(const std::string& bytes) const;
    std::optional<std::string> ReadIniBytes() const;

    // Starts the program and waits for its visible clock window; false when
    // the program ended, or showed none in time.
    bool Start(std::chrono::milliseconds timeout = std::chrono::seconds(90));
    // The same, with arguments after the program's quoted path.
    bool StartWith(const std::string& arguments,
                   std::chrono::milliseconds timeout = std::chrono::seconds(90));
    HWND Window() const { return window; }
    // Whether the process was started at all, and the system's error when
    // the copy or the start failed.
    bool Launched() const { return process != nullptr; }
    DWORD LaunchError() const { return launchError; }
    RECT WindowRect() const;
    // Moves the clock window's top left corner there and waits to see it.
    bool MoveTo(POINT to) const;
    DWORD ProcessId() const { return processId; }

    // Starts the same copy again, as a user starting it twice would, and
    // waits for that second process to end: its exit code, or nothing when
    // it still ran at the time-out (it is then ended). ran, if given, gets
    // how long it ran from its creation to its end, as the system stamped
    // both (no clock of this process, which a test may fake).
    std::optional<DWORD> StartAgain(std::chrono::milliseconds timeout,
                                    std::chrono::milliseconds* ran = nullptr) const;

    // Waits for the process to end; its exit code, or nothing on time-out.
    std::optional<DWORD> WaitForExit(std::chrono::milliseconds timeout);
    bool IsRunning() const;
    // Finds another visible top-level window of the process by its title (GBK).
    HWND FindWindowTitled(const std::string& title) const;

private:
    std::wstring root; // removed with the object; empty for an installed program
    std::wstring directory;
    HANDLE process = nullptr;
    DWORD processId = 0;
    HWND window = nullptr;
    DWORD launchError = 0;
};

// The path of TikoClock.exe, as CTest passed it.
std::string ClockExecutablePath();

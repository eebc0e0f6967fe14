#include "app/SystemIntegration.h"

#include "app/AppGlobals.h"
#include "app/Lifetime.h"
#include "assets/TextIds.h"
#include "config/TextNumbers.h"
#include "clock/ClockFace.h"
#include "clock/ClockWindow.h"
#include "framework/Services.h"
#include "framework/StringTable.h"
#include "framework/TextConversion.h"
#include "framework/UniqueHandle.h"

#include <objbase.h>
#include <shellapi.h>

#include <algorithm>
#include <optional>
#include <vector>

namespace {

HKEY machineRunRoot = HKEY_LOCAL_MACHINE;
HKEY userRunRoot = HKEY_CURRENT_USER;
int trimCount = 0;

struct KeyAndValue {
    std::wstring key;
    std::wstring value;
};

KeyAndValue SplitValuePath(std::wstring_view valuePath) {
    return {DirectoryPart(valuePath), FileNamePart(valuePath)};
}

// Whether some monitor's work area holds enough of the rectangle to grab
// it: its whole height and a third of its width. Less is a sliver at an
// edge or under the taskbar, left by a monitor that was unplugged or moved.
struct GrabCheck {
    RECT rect;
    bool holds;
};

BOOL CALLBACK HoldsEnoughToGrab(HMONITOR monitor, HDC, RECT*, LPARAM data) {
    auto& [rect, holds] = *reinterpret_cast<GrabCheck*>(data);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    RECT inside{};
    if (!GetMonitorInfoW(monitor, &info) || !IntersectRect(&inside, &rect, &info.rcWork))
        return TRUE;
    holds = inside.bottom - inside.top >= rect.bottom - rect.top &&
            3 * (inside.right - inside.left) >= rect.right - rect.left;
    return holds ? FALSE : TRUE;
}

// The place nearest to the rectangle's own where it lies wholly on the work
// area of the monitor it overlaps most (top left when it is larger).
POINT OntoNearestWorkArea(const RECT& rect, HMONITOR monitor) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (!GetMonitorInfoW(monitor, &info))
        return {rect.left, rect.top};
    const RECT& work = info.rcWork;
    const LONG width = rect.right - rect.left;
    const LONG height = rect.bottom - rect.top;
    return {std::max(work.left, std::min(rect.left, work.right - width)),
            std::max(work.top, std::min(rect.top, work.bottom - height))};
}

HWND ClockHandle() {
    return App().clockWindow ? App().clockWindow->Handle() : nullptr;
}

// The name versions before 1.0.1 gave the value: the executable's alone,
// shared by every copy of that name.
std::wstring LegacyValuePath() {
    return RunValuePath(ExecutableFileName());
}

// Whether the command line starts this very copy. Version 1.0.0 wrote the
// path without quotes; for such a command Windows tries each part up to a
// space as the program ("C:\Program", "C:\Program Files\Tiko"...), where
// CommandLineToArgvW would stop at the first space.
bool CommandStartsThisCopy(const std::wstring& command) {
    const std::wstring self = FileKey(ExecutablePath());
    if (command.starts_with(L'"')) {
        int count = 0;
        const unique_argument_list arguments(CommandLineToArgvW(command.c_str(), &count));
        return arguments && count >= 1 && FileKey(arguments.get()[0]) == self;
    }
    for (std::size_t end = command.find(L' ');; end = command.find(L' ', end + 1)) {
        if (FileKey(command.substr(0, end)) == self)
            return true;
        if (end == std::wstring::npos)
            return false;
    }
}

// Whether the old-style value under root starts this very copy (another
// copy's value of that name is that copy's own).
bool LegacyValueStartsThisCopy(HKEY root) {
    const std::optional<std::wstring> command = ReadRegistryText(root, LegacyValuePath());
    return command && !command->empty() && CommandStartsThisCopy(*command);
}

// "--settings" and the file's path in quotes.
std::wstring SettingsArgumentFor(const std::wstring& settingsFile) {
    return std::wstring(SettingsArgument) + L" \"" + settingsFile + L"\"";
}

// The settings file of this clock when it is not the default one.
std::wstring OwnSettingsFile() {
    return AppGlobalsExist() ? App().ownSettingsFile : std::wstring();
}

std::wstring ThisCopysValueName() {
    return RunValueNameFor(ExecutablePath());
}

// Whether the name is this copy's default value's, or one of its clocks'.
bool IsThisCopysValueName(const std::wstring& name) {
    const std::wstring copy = ThisCopysValueName();
    if (copy.empty() || name.size() < copy.size())
        return false;
    const bool startsAlike = CompareStringOrdinal(name.c_str(), static_cast<int>(copy.size()), copy.c_str(),
                                                  static_cast<int>(copy.size()), TRUE) == CSTR_EQUAL;
    return startsAlike && (name.size() == copy.size() || name[copy.size()] == L' ');
}

// The names of the values under the Run key of root.
std::vector<std::wstring> RunValueNames(HKEY root) {
    std::vector<std::wstring> names;
    HKEY opened = nullptr;
    if (RegOpenKeyExW(root, RunKeyPath, 0, KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS)
        return names;
    const unique_hkey key(opened);
    // Value names are at most 16,383 characters.
    std::wstring name(16384, L'\0');
    for (DWORD index = 0;; ++index) {
        DWORD length = static_cast<DWORD>(name.size());
        if (RegEnumValueW(key.get(), index, name.data(), &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS)
            break;
        names.emplace_back(name.data(), length);
    }
    return names;
}

// The user's choice in Task Manager's Startup tab, kept under the Run
// value's name beside the Run key of the same root. It outlives the value:
// a value deleted and written again stays disabled.
std::wstring StartupApprovedValuePath(const std::wstring& name) {
    return std::wstring(StartupApprovedKeyPath) + L"\\" + name;
}

void DeleteRunValue(HKEY root, const std::wstring& name) {
    DeleteRegistryValue(root, RunValuePath(name));
    DeleteRegistryValue(root, StartupApprovedValuePath(name));
}

void DeleteFromBothRoots(const std::wstring& name) {
    DeleteRunValue(machineRunRoot, name);
    DeleteRunValue(userRunRoot, name);
}

void DeleteLegacyValues() {
    for (const HKEY root : {machineRunRoot, userRunRoot})
        if (LegacyValueStartsThisCopy(root))
            DeleteRunValue(root, ExecutableFileName());
}

bool MachineWideValueRemains() {
    return RegistryValueExists(machineRunRoot, StartWithWindowsValuePath()) ||
           (OwnSettingsFile().empty() && LegacyValueStartsThisCopy(machineRunRoot));
}

bool OfferRemovalAsAdministrator() {
    return MessageBoxW(GetActiveWindow(), WideText(IDS_RUN_VALUE_OFFER).c_str(),
                       WideText(IDS_RUN_VALUE_TITLE).c_str(), MB_YESNO | MB_ICONINFORMATION) == IDYES;
}

// The program itself, elevated through the UAC prompt, deletes the values
// and exits; a declined prompt starts nothing.
// COM for the length of a shell call, as ShellExecuteEx wants it (its
// handlers may be COM objects); left alone when the thread has it already
// in another model.
class ComForShellCall {
public:
    ComForShellCall()
        : started(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE))) {}
    ~ComForShellCall() {
        if (started)
            CoUninitialize();
    }
    ComForShellCall(const ComForShellCall&) = delete;
    ComForShellCall& operator=(const ComForShellCall&) = delete;

private:
    bool started;
};

void RemoveAsAdministrator() {
    // The elevated run has nothing to do but delete two values.
    constexpr DWORD LongestWaitMilliseconds = 10000;
    const std::wstring program = ExecutablePath();
    const ComForShellCall com;
    SHELLEXECUTEINFOW request{};
    request.cbSize = sizeof request;
    // No box of the shell's own: a copy the elevated run cannot reach (a
    // drive mapped for this user only) leaves the box checked, which says it.
    request.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    request.hwnd = GetActiveWindow();
    request.lpVerb = L"runas";
    request.lpFile = program.c_str();
    const std::wstring parameters = std::wstring(DeleteRunValuesArgument) + L" " + RunValueArgument + L" \"" +
                                    RunValueNameFor(program, OwnSettingsFile()) + L"\"";
    request.lpParameters = parameters.c_str();
    request.nShow = SW_HIDE;
    if (!ShellExecuteExW(&request) || !request.hProcess)
        return;
    const unique_handle process(request.hProcess);
    WaitForSingleObject(process.get(), LongestWaitMilliseconds);
}

} // namespace

std::wstring RunValueNameFor(const std::wstring& executablePath, const std::wstring& ownSettingsFile) {
    const std::wstring name = FileNamePart(executablePath);
    if (name.empty())
        return {};
    std::wstring folder = DirectoryPart(executablePath);
    // "E:" alone is that drive's current folder to GetFullPathNameW; a copy
    // at the drive's root lives in "E:\".
    if (folder.ends_with(L':'))
        folder += L'\\';
    std::wstring valueName = name + L" (" + FileKey(folder).substr(0, 8) + L")";
    if (!ownSettingsFile.empty())
        valueName +=
            L" " + FileNamePart(ownSettingsFile) + L" (" + FileKey(ownSettingsFile).substr(0, 8) + L")";
    return valueName;
}

std::wstring RunValuePath(const std::wstring& name) {
    return std::wstring(RunKeyPath) + L"\\" + name;
}

std::wstring StartWithWindowsValuePath() {
    return RunValuePath(RunValueNameFor(ExecutablePath(), OwnSettingsFile()));
}

std::wstring ClockArguments() {
    const std::wstring own = OwnSettingsFile();
    return own.empty() ? std::wstring() : SettingsArgumentFor(own);
}

bool StartClockOn(const std::wstring& settingsFile) {
    const std::wstring program = ExecutablePath();
    std::wstring commandLine = L"\"" + program + L"\" " + SettingsArgumentFor(settingsFile);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &started))
        return false;
    CloseHandle(started.hThread);
    CloseHandle(started.hProcess);
    return true;
}

std::wstring StartWithWindowsCommand() {
    const std::wstring arguments = ClockArguments();
    const std::wstring program = L"\"" + ExecutablePath() + L"\"";
    return arguments.empty() ? program : program + L" " + arguments;
}

bool WriteRegistryText(HKEY root, std::wstring_view valuePath, const std::wstring& data) {
    const KeyAndValue parts = SplitValuePath(valuePath);
    HKEY opened = nullptr;
    if (RegOpenKeyExW(root, parts.key.c_str(), 0, KEY_WRITE, &opened) != ERROR_SUCCESS &&
        RegCreateKeyW(root, parts.key.c_str(), &opened) != ERROR_SUCCESS)
        return false;
    const unique_hkey key(opened);
    const auto bytes = static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t));
    return RegSetValueExW(key.get(), parts.value.c_str(), 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(data.c_str()), bytes) == ERROR_SUCCESS;
}

std::optional<std::wstring> ReadRegistryText(HKEY root, std::wstring_view valuePath) {
    const KeyAndValue parts = SplitValuePath(valuePath);
    HKEY opened = nullptr;
    if (parts.value.empty() ||
        RegOpenKeyExW(root, parts.key.c_str(), 0, KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS)
        return std::nullopt;
    const unique_hkey key(opened);
    DWORD type = 0;
    DWORD size = 0;
    if (RegQueryValueExW(key.get(), parts.value.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ))
        return std::nullopt;
    std::wstring data(size / sizeof(wchar_t) + 1, L'\0');
    size = static_cast<DWORD>(data.size() * sizeof(wchar_t));
    if (RegQueryValueExW(key.get(), parts.value.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()),
                         &size) != ERROR_SUCCESS)
        return std::nullopt;
    data.resize(size / sizeof(wchar_t));
    while (!data.empty() && data.back() == L'\0')
        data.pop_back();
    return data;
}

void DeleteRegistryValue(HKEY root, std::wstring_view valuePath) {
    const KeyAndValue parts = SplitValuePath(valuePath);
    // An empty name would be the key's default value, which is not ours.
    if (parts.value.empty())
        return;
    HKEY opened = nullptr;
    if (RegOpenKeyExW(root, parts.key.c_str(), 0, KEY_WRITE, &opened) != ERROR_SUCCESS)
        return;
    const unique_hkey key(opened);
    RegDeleteValueW(key.get(), parts.value.c_str());
}

bool RegistryValueExists(HKEY root, std::wstring_view valuePath) {
    const KeyAndValue parts = SplitValuePath(valuePath);
    HKEY opened = nullptr;
    if (parts.value.empty() ||
        RegOpenKeyExW(root, parts.key.c_str(), 0, KEY_QUERY_VALUE, &opened) != ERROR_SUCCESS)
        return false;
    const unique_hkey key(opened);
    return RegQueryValueExW(key.get(), parts.value.c_str(), nullptr, nullptr, nullptr, nullptr) ==
           ERROR_SUCCESS;
}

void SetStartWithWindowsRoot(HKEY machineRoot, HKEY userRoot) {
    machineRunRoot = machineRoot;
    userRunRoot = userRoot;
}

bool ApplyStartWithWindows(bool checked) {
    ClockSettings& settings = App().settings;
    if (!checked)
        return !ClearStartWithWindows();
    // Without a file name the value would land on the Run key's default
    // value: count that as a failed write.
    if (ExecutableFileName().empty())
        return false;
    const std::wstring name = RunValueNameFor(ExecutablePath(), OwnSettingsFile());
    const std::wstring valuePath = RunValuePath(name);
    const std::wstring command = StartWithWindowsCommand();
    // Only an elevated process may write the machine-wide value; an ordinary
    // user's own Run key starts the program for that user.
    const HKEY root = WriteRegistryText(machineRunRoot, valuePath, command) ? machineRunRoot
                      : WriteRegistryText(userRunRoot, valuePath, command)  ? userRunRoot
                                                                            : nullptr;
    const bool written = root != nullptr;
    if (written) {
        // Checking the box overrides a "disabled" from Task Manager.
        DeleteRegistryValue(root, StartupApprovedValuePath(name));
        settings.startWithWindows = true;
        if (OwnSettingsFile().empty())
            DeleteLegacyValues(); // one value starts the default clock
    }
    return written;
}

bool ClearStartWithWindows() {
    ClockSettings& settings = App().settings;
    settings.startWithWindows = false;
    DeleteStartWithWindows();
    if (MachineWideValueRemains() && OfferRemovalAsAdministrator())
        RemoveAsAdministrator();
    if (!MachineWideValueRemains())
        return true;
    settings.startWithWindows = true;
    return false;
}

void DeleteStartWithWindows() {
    DeleteRunValueNamed(RunValueNameFor(ExecutablePath(), OwnSettingsFile()));
}

void DeleteRunValueNamed(const std::wstring& name) {
    if (!IsThisCopysValueName(name))
        return;
    DeleteFromBothRoots(name);
    // The name before 1.0.1 was the default clock's.
    if (name.size() == ThisCopysValueName().size())
        DeleteLegacyValues();
}

void DeleteEveryRunValueOfThisCopy() {
    for (const HKEY root : {machineRunRoot, userRunRoot})
        for (const std::wstring& name : RunValueNames(root))
            if (IsThisCopysValueName(name))
                DeleteRunValue(root, name);
    DeleteLegacyValues();
}

void SetTopmost(bool on) {
    constexpr UINT flags = SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOSIZE;
    const HWND window = ClockHandle();
    SetWindowPos(window, on ? HWND_TOPMOST : HWND_NOTOPMOST, 0, 0, 0, 0, flags);
    if (on || !(GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOPMOST))
        return;
    // Wine keeps an owned popup that sits right above its owner topmost;
    // without the owner for the moment of the call it lets go.
    const LONG_PTR owner = GetWindowLongPtrW(window, GWLP_HWNDPARENT);
    SetWindowLongPtrW(window, GWLP_HWNDPARENT, 0);
    SetWindowPos(window, HWND_NOTOPMOST, 0, 0, 0, 0, flags);
    SetWindowLongPtrW(window, GWLP_HWNDPARENT, owner);
}

void TrimWorkingSet() {
    ++trimCount;
    SetProcessWorkingSetSize(GetCurrentProcess(), static_cast<SIZE_T>(-1), static_cast<SIZE_T>(-1));
}

int WorkingSetTrimCount() {
    return trimCount;
}

void SetWorkingSetTrimming(int period) {
    WindowTimer& trimTimer = App().clockWindow->trimTimer;
    if (period == TrimmingStopped) {
        trimTimer.SetInterval(0);
        return;
    }
    TrimWorkingSet();
    trimTimer.SetInterval(static_cast<UINT>(period) * 1000);
}

ClockPlacement ComputeClockPlacement(std::string_view positionValue, int screenWidth, int screenHeight,
                                     SIZE clock) {
    const std::vector<std::string> parts = SplitAtBars(positionValue);
    ClockPlacement placement{parts.front(), static_cast<int>((screenWidth - clock.cx) / 2.0),
                             static_cast<int>((screenHeight - clock.cy) / 2.0)};
    if (placement.flag == OffText || parts.size() < 3)
        return placement;
    const int left = TextToInt(parts[1]);
    const int top = TextToInt(parts[2]);
    GrabCheck saved{{left, top, left + clock.cx, top + clock.cy}, false};
    const HMONITOR monitor = MonitorFromRect(&saved.rect, MONITOR_DEFAULTTONULL);
    if (!monitor)
        return placement;
    EnumDisplayMonitors(nullptr, &saved.rect, HoldsEnoughToGrab, reinterpret_cast<LPARAM>(&saved));
    const POINT place = saved.holds ? POINT{left, top} : OntoNearestWorkArea(saved.rect, monitor);
    placement.left = place.x;
    placement.top = place.y;
    return placement;
}

void PlaceClockWindow() {
    AppGlobals& app = App();
    const ScreenSize screen = PrimaryScreenSize();
    const SIZE clock = ClockWindowSizeFor(app.clock.scale, HasSecondLine(app.settings));
    const ClockPlacement placement =
        ComputeClockPlacement(app.settings.positionText, screen.width, screen.height, clock);
    MoveWindow(ClockHandle(), placement.left, placement.top, clock.cx, clock.cy, TRUE);
}

#include "framework/FileChangeWatch.h"

#include "framework/Services.h"

#include <algorithm>
#include <vector>

namespace {

struct LoopWait {
    HANDLE object;
    std::function<void()> onSignalled;
};

std::vector<LoopWait>& LoopWaits() {
    static std::vector<LoopWait> waits;
    return waits;
}

} // namespace

bool WaitInMessageLoop(HANDLE object, std::function<void()> onSignalled) {
    std::vector<LoopWait>& waits = LoopWaits();
    if (!object || waits.size() + 1 >= MAXIMUM_WAIT_OBJECTS)
        return false;
    waits.push_back({object, std::move(onSignalled)});
    return true;
}

void StopWaitingInMessageLoop(HANDLE object) {
    std::erase_if(LoopWaits(), [object](const LoopWait& wait) { return wait.object == object; });
}

void WaitForMessageOrObject() {
    std::vector<HANDLE> objects;
    for (const LoopWait& wait : LoopWaits())
        objects.push_back(wait.object);
    const DWORD count = static_cast<DWORD>(objects.size());
    const DWORD woke =
        MsgWaitForMultipleObjectsEx(count, objects.data(), INFINITE, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    if (woke >= WAIT_OBJECT_0 + count)
        return;
    // A copy: the action may stop this wait or start others.
    const std::function<void()> action = LoopWaits()[woke - WAIT_OBJECT_0].onSignalled;
    if (action)
        action();
}

FileChangeWatch::FileChangeWatch(const std::wstring& file, std::function<void()> onChanged)
    : onChanged(std::move(onChanged)) {
    const std::wstring folder = DirectoryPart(FinalPath(file).value_or(file));
    constexpr DWORD Changes =
        FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_SIZE | FILE_NOTIFY_CHANGE_LAST_WRITE;
    const HANDLE made = FindFirstChangeNotificationW(ExtendedLengthPath(folder).c_str(), FALSE, Changes);
    if (made == INVALID_HANDLE_VALUE)
        return;
    change.reset(made);
    if (!WaitInMessageLoop(change.get(), [this] { OnChanged(); }))
        change.reset();
}

FileChangeWatch::~FileChangeWatch() {
    StopWaitingInMessageLoop(change.get());
}

void FileChangeWatch::OnChanged() {
    // Armed again first: a change made while the owner reads is not missed.
    FindNextChangeNotification(change.get());
    if (onChanged)
        onChanged();
}

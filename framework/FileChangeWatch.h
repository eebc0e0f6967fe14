#pragma once
// Waits of the message loop on kernel objects, and a watch on a file's
// folder built on them. Whatever a wait starts runs on the loop's thread
// between two messages: no lock is needed, and an idle program does not wake.
#include "framework/UniqueHandle.h"

#include <windows.h>

#include <functional>
#include <string>

// The message loop waits on the object beside the messages: each time it is
// signalled, onSignalled runs. At most MAXIMUM_WAIT_OBJECTS - 1 at once.
bool WaitInMessageLoop(HANDLE object, std::function<void()> onSignalled);
void StopWaitingInMessageLoop(HANDLE object);
// Waits until a message is queued, running the actions of the objects
// signalled meanwhile.
void WaitForMessageOrObject();

// Tells of every change of name, size or time in a file's folder, once the
// change happened: the owner reads the file again to see what it was. A
// symbolic link's target folder is watched.
class FileChangeWatch {
public:
    FileChangeWatch(const std::wstring& file, std::function<void()> onChanged);
    ~FileChangeWatch();
    FileChangeWatch(const FileChangeWatch&) = delete;
    FileChangeWatch& operator=(const FileChangeWatch&) = delete;

    bool Watching() const { return static_cast<bool>(change); }

private:
    void OnChanged();

    unique_change_notification change;
    std::function<void()> onChanged;
};

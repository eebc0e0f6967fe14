#pragma once
// One clock per settings file: the clocks on one file share a name made of
// the file's full path, case ignored, and the first one holds it; a second
// name made of the file's identity meets a start through a hard or symbolic
// link to it.
#include "framework/UniqueHandle.h"

#include <string>

// "TikoClock." and a hash of the upper-cased full path, in hexadecimal: the
// name of the running clock's program window and, prefixed, of its claim.
std::wstring InstanceName(const std::wstring& settingsFilePath);
// "TikoClock.File." and the file's identity (see FileIdentityKey); "" while
// the file does not exist. A clock holds it for the file as it is now.
std::wstring IdentityInstanceName(const std::wstring& settingsFilePath);

// Claims the name for as long as claim lives; false only when another clock
// holds it already, run as this user or as administrator (a claim the system
// refuses for any other reason lets the clock run).
bool ClaimInstance(const std::wstring& name, unique_handle& claim);

// Asks the clock holding the name to come to the front (shown if hidden).
// Waits a little for its window, which a clock just starting may not have
// made yet; false when none answered.
bool WakeRunningClock(const std::wstring& name);

#pragma once
// One clock per settings file: the clocks on one file share a name made of
// the file's identity (every hard or symbolic link to it alike), and the
// first one holds it.
#include "framework/UniqueHandle.h"

#include <string>

// "TikoClock." and the file's identity key (see FileIdentityKey), in
// hexadecimal: the name of the running clock's program window and,
// prefixed, of its claim.
std::wstring InstanceName(const std::wstring& settingsFilePath);
// The name by the file's path alone (case ignored), which a clock holds too:
// a start before the file existed and one after it was made still meet.
std::wstring PathInstanceName(const std::wstring& settingsFilePath);

// Claims the name for as long as claim lives; false only when another clock
// holds it already, run as this user or as administrator (a claim the system
// refuses for any other reason lets the clock run).
bool ClaimInstance(const std::wstring& name, unique_handle& claim);

// Asks the clock holding the name to come to the front (shown if hidden).
// Waits a little for its window, which a clock just starting may not have
// made yet; false when none answered.
bool WakeRunningClock(const std::wstring& name);

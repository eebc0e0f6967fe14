#pragma once
// Text crossing into and out of GDI+: the program's texts are ANSI byte
// strings in the system code page; GDI+ takes UTF-16 (framework/TextConversion).
#include "framework/TextConversion.h"

#include <string_view>

// The length GDI+ receives for a text: its UTF-16 units up to the first NUL,
// as lstrlenW counts them.
int WideLength(std::wstring_view text);

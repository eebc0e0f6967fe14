#pragma once
// Text crossing into and out of GDI+: the program's texts are ANSI byte
// strings in the system code page; GDI+ takes UTF-16.
#include <string>
#include <string_view>

// ANSI (CP_ACP) to UTF-16, measured first, then converted. Empty in, empty out.
std::wstring AnsiToWide(std::string_view text);

// UTF-16 to ANSI with the same code page as AnsiToWide, so that a name
// read back from GDI+ compares equal to the text it was made from.
std::string WideToAnsi(std::wstring_view text);

// Explicit code page variants (the settings window converts GBK captions
// with 936 whatever the system code page is).
std::wstring MultiByteToWide(std::string_view text, unsigned codePage);
std::string WideToMultiByte(std::wstring_view text, unsigned codePage);

// The length GDI+ receives for a text: its UTF-16 units up to the first NUL,
// as lstrlenW counts them.
int WideLength(std::wstring_view text);

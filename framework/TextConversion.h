#pragma once
// Text between the program's ANSI byte strings and Windows' UTF-16.
#include <string>
#include <string_view>

// ANSI (CP_ACP) to UTF-16, measured first, then converted. Empty in, empty out.
std::wstring AnsiToWide(std::string_view text);

// UTF-16 to ANSI with the same code page as AnsiToWide, so that a name
// read back from Windows compares equal to the text it was made from.
std::string WideToAnsi(std::wstring_view text);

// The program's narrow texts and its settings file are GBK, whatever the
// system's code page.
inline constexpr unsigned GbkCodePage = 936;

// Whether a byte opens a GBK double-byte character, whose second byte may
// be any of 0x40..0xFE, '|' and ']' among them.
inline bool IsGbkLeadByte(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte >= 0x81 && byte <= 0xFE;
}

// Whether code page 936 holds the character (one UTF-16 unit or a surrogate
// pair) exactly: a default character or a best fit ("é" as "e") is no.
bool GbkHolds(std::wstring_view character);

// A text parted into what GBK holds and what it does not, in order; a
// surrogate pair is one character, a lone surrogate is not held.
struct GbkParts {
    std::wstring kept;
    std::wstring refused;
};
GbkParts PartByGbk(std::wstring_view text);

// Explicit code page variants (the windows convert GBK captions with 936
// whatever the system code page is).
std::wstring MultiByteToWide(std::string_view text, unsigned codePage);
std::string WideToMultiByte(std::wstring_view text, unsigned codePage);

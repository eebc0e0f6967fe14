#pragma once
// Numbers as the INI file holds them.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The leading decimal integer of a text. GBK full-width forms of ASCII
// characters (digits, signs, spaces) count as their ASCII counterparts;
// leading white space is skipped, an optional sign read, digits taken up to
// the first other character; no digits gives 0. Values beyond 32 bits
// saturate at the nearer limit instead of wrapping.
std::int32_t TextToInt(std::string_view text);

// Signed decimal, no leading zeros or spaces (printf "%d").
std::string IntToText(std::int32_t value);

// The parts of a value between its '|' bars, stepping over GBK double-byte
// characters (whose second byte can be 0x7C); one part for a text without.
std::vector<std::string> SplitAtBars(std::string_view text);

// Up to 13 significant digits without trailing zeros (printf "%.13g").
std::string RealToText(double value);

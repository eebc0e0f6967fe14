#include "config/TextNumbers.h"

#include "framework/TextConversion.h"

#include <cstdio>
#include <algorithm>
#include <limits>

namespace {

// GBK row 0xA3 holds the full-width forms of ASCII 0x21..0x7E at 0xA1..0xFE;
// 0xA1A1 is the ideographic space.
std::string ReplaceFullWidthForms(std::string_view text) {
    std::string ascii;
    ascii.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto lead = static_cast<unsigned char>(text[i]);
        if (IsGbkLeadByte(text[i]) && i + 1 < text.size()) {
            const auto trail = static_cast<unsigned char>(text[i + 1]);
            if (lead == 0xA3 && trail >= 0xA1 && trail <= 0xFE)
                ascii.push_back(static_cast<char>(trail - 0x80));
            else if (lead == 0xA1 && trail == 0xA1)
                ascii.push_back(' ');
            else
                ascii.append(text.substr(i, 2));
            ++i;
            continue;
        }
        ascii.push_back(static_cast<char>(lead));
    }
    return ascii;
}

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

} // namespace

std::int32_t TextToInt(std::string_view text) {
    const std::string ascii = ReplaceFullWidthForms(text);
    std::size_t i = 0;
    while (i < ascii.size() && IsSpace(ascii[i]))
        ++i;
    bool negative = false;
    if (i < ascii.size() && (ascii[i] == '+' || ascii[i] == '-')) {
        negative = ascii[i] == '-';
        ++i;
    }
    constexpr std::int64_t limit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
    std::int64_t magnitude = 0;
    for (; i < ascii.size() && ascii[i] >= '0' && ascii[i] <= '9'; ++i) {
        if (magnitude < limit)
            magnitude = magnitude * 10 + (ascii[i] - '0');
    }
    if (negative)
        return static_cast<std::int32_t>(-std::min(magnitude, limit));
    return static_cast<std::int32_t>(std::min(magnitude, limit - 1));
}

std::string IntToText(std::int32_t value) {
    return std::to_string(value);
}

std::string RealToText(double value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.13g", value);
    return buffer;
}

std::vector<std::string> SplitAtBars(std::string_view text) {
    std::vector<std::string> parts(1);
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (IsGbkLeadByte(text[i]) && i + 1 < text.size()) {
            parts.back().append(text.substr(i, 2));
            ++i;
        } else if (text[i] == '|') {
            parts.emplace_back();
        } else {
            parts.back().push_back(text[i]);
        }
    }
    return parts;
}

#include "framework/TextConversion.h"

#include <windows.h>

std::wstring MultiByteToWide(std::string_view text, unsigned codePage) {
    if (text.empty())
        return {};
    const int length = static_cast<int>(text.size());
    const int needed = MultiByteToWideChar(codePage, 0, text.data(), length, nullptr, 0);
    if (needed <= 0)
        return {};
    std::wstring wide(static_cast<std::size_t>(needed), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), length, wide.data(), needed);
    return wide;
}

std::string WideToMultiByte(std::wstring_view text, unsigned codePage) {
    if (text.empty())
        return {};
    const int length = static_cast<int>(text.size());
    const int needed = WideCharToMultiByte(codePage, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    if (needed <= 0)
        return {};
    std::string narrow(static_cast<std::size_t>(needed), '\0');
    WideCharToMultiByte(codePage, 0, text.data(), length, narrow.data(), needed, nullptr, nullptr);
    return narrow;
}

std::wstring AnsiToWide(std::string_view text) {
    return MultiByteToWide(text, CP_ACP);
}

std::string WideToAnsi(std::wstring_view text) {
    return WideToMultiByte(text, CP_ACP);
}

bool GbkHolds(std::wstring_view character) {
    if (character.empty() || character.size() > 2)
        return false;
    char bytes[8]{};
    BOOL usedDefault = FALSE;
    const int length =
        WideCharToMultiByte(GbkCodePage, WC_NO_BEST_FIT_CHARS, character.data(),
                            static_cast<int>(character.size()), bytes, sizeof bytes, nullptr, &usedDefault);
    // The round trip as well: not every system's table owns up to a default.
    return length > 0 && !usedDefault &&
           MultiByteToWide({bytes, static_cast<std::size_t>(length)}, GbkCodePage) == character;
}

GbkParts PartByGbk(std::wstring_view text) {
    GbkParts parts;
    for (std::size_t at = 0; at < text.size();) {
        const bool pair =
            at + 1 < text.size() && IS_HIGH_SURROGATE(text[at]) && IS_LOW_SURROGATE(text[at + 1]);
        const std::wstring_view character = text.substr(at, pair ? 2 : 1);
        (GbkHolds(character) ? parts.kept : parts.refused) += character;
        at += character.size();
    }
    return parts;
}

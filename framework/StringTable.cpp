#include "framework/StringTable.h"

#include "framework/TextConversion.h"

namespace {

LANGID languageInUse = ChineseTexts;

} // namespace

std::optional<std::wstring> LoadStringIn(HMODULE module, UINT id, LANGID language) {
    // A string table is kept in blocks of sixteen strings, block n holding
    // the identifiers 16(n-1) to 16n-1, each string a length and its
    // characters, without a terminating zero.
    constexpr UINT StringsPerBlock = 16;
    const HRSRC found =
        FindResourceExW(module, RT_STRING, MAKEINTRESOURCEW(id / StringsPerBlock + 1), language);
    const HGLOBAL loaded = found ? LoadResource(module, found) : nullptr;
    const auto* entry = loaded ? static_cast<const WORD*>(LockResource(loaded)) : nullptr;
    if (!entry)
        return std::nullopt;
    const WORD* const end = entry + SizeofResource(module, found) / sizeof(WORD);
    for (UINT skipped = 0; skipped < id % StringsPerBlock && entry < end; ++skipped)
        entry += 1 + *entry;
    if (entry >= end || *entry == 0 || entry + 1 + *entry > end)
        return std::nullopt;
    return std::wstring(reinterpret_cast<const wchar_t*>(entry + 1), *entry);
}

void UseTextLanguage(LANGID language) {
    languageInUse = language;
}

LANGID TextLanguage() {
    return languageInUse;
}

std::wstring WideText(UINT id) {
    return LoadStringIn(GetModuleHandleW(nullptr), id, languageInUse).value_or(std::wstring());
}

std::string Text(UINT id) {
    return WideToMultiByte(WideText(id), GbkCodePage);
}

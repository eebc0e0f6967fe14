#pragma once
// The program's texts, as Windows programs carry them: one string table per
// language in the executable's resources. One language is in use at a time;
// every window, menu and box reads its texts in it.
#include <windows.h>

#include <optional>
#include <string>

inline constexpr LANGID ChineseTexts = MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED);
inline constexpr LANGID EnglishTexts = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);

// The string of that identifier in one language's table of a module; nothing
// when that table lacks it or holds it empty. Unlike LoadString, it reads
// exactly the language asked for, whatever the thread's.
std::optional<std::wstring> LoadStringIn(HMODULE module, UINT id, LANGID language);

// The language of the texts; Chinese until told otherwise.
void UseTextLanguage(LANGID language);
LANGID TextLanguage();

// A text of the executable in the language in use, in UTF-16 or as GBK;
// empty for an identifier without one.
std::wstring WideText(UINT id);
std::string Text(UINT id);

// The program's two string tables: every identifier has its text in both,
// in exactly the language asked for, and the formats take the same values.
#include "assets/TextIds.h"
#include "framework/StringTable.h"
#include "framework/TextConversion.h"

#include <gtest/gtest.h>

#include <cwctype>
#include <set>
#include <string>

namespace {

const HMODULE Program = GetModuleHandleW(nullptr);

// The kinds of value a printf format converts, in order (its widths and
// flags are the language's own).
std::wstring Conversions(const std::wstring& format) {
    std::wstring conversions;
    for (std::size_t at = format.find(L'%'); at != std::wstring::npos; at = format.find(L'%', at + 1)) {
        at = format.find_first_not_of(L"0123456789-+ #.lhz", at + 1);
        if (at == std::wstring::npos)
            return conversions + L'?';
        conversions += format[at];
    }
    return conversions;
}

TEST(StringTables, EveryTextInBothLanguagesAndNoneBeyondTheLast) {
    for (UINT id = FirstTextId; id <= LastTextId; ++id) {
        SCOPED_TRACE(id);
        const auto chinese = LoadStringIn(Program, id, ChineseTexts);
        const auto english = LoadStringIn(Program, id, EnglishTexts);
        ASSERT_TRUE(chinese.has_value());
        ASSERT_TRUE(english.has_value());
        // English is English: nothing of the Chinese table left in it.
        for (const wchar_t c : *english)
            EXPECT_LT(c, 0x2E80) << WideToMultiByte(*english, GbkCodePage);
        EXPECT_EQ(Conversions(*english), Conversions(*chinese)) << "the same values in the same order";
    }
    for (const UINT beyond : {FirstTextId - 1, LastTextId + 1})
        EXPECT_FALSE(LoadStringIn(Program, beyond, ChineseTexts) ||
                     LoadStringIn(Program, beyond, EnglishTexts))
            << beyond;
    EXPECT_FALSE(LoadStringIn(Program, IDS_MENU_EXIT, MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT)))
        << "a language without a table gets nothing, not another table's text";
}

// The letter after a text's '&', upper case; 0 for none.
wchar_t AccessKey(const std::wstring& text) {
    const std::size_t at = text.find(L'&');
    return at + 1 < text.size() ? static_cast<wchar_t>(std::towupper(text[at + 1])) : 0;
}

// Every menu item has an access key no other item has; "显示时钟" takes the
// key of "隐藏时钟", whose place it takes.
TEST(StringTables, EveryMenuItemHasAnAccessKeyOfItsOwnInBothLanguages) {
    for (const LANGID language : {ChineseTexts, EnglishTexts}) {
        SCOPED_TRACE(language);
        std::set<wchar_t> keys;
        for (const UINT id :
             {IDS_MENU_SETTINGS, IDS_MENU_NEW_CLOCK, IDS_MENU_KEEP_ON_TOP, IDS_MENU_CLICK_THROUGH,
              IDS_MENU_SHOW_TRAY_ICON, IDS_MENU_HIDE_FOR_FULL_SCREEN, IDS_MENU_HIDE_CLOCK, IDS_MENU_EXIT}) {
            const wchar_t key = AccessKey(LoadStringIn(Program, id, language).value_or(L""));
            EXPECT_TRUE(std::iswalnum(key)) << id;
            EXPECT_TRUE(keys.insert(key).second) << id << " shares its key";
        }
        EXPECT_EQ(AccessKey(*LoadStringIn(Program, IDS_MENU_SHOW_CLOCK, language)),
                  AccessKey(*LoadStringIn(Program, IDS_MENU_HIDE_CLOCK, language)));
    }
}

// Windows labels a box's buttons in its own language, which need not be
// the program's: the question names none of them.
TEST(StringTables, MessageBoxesAskWithoutNamingTheirButtons) {
    for (const LANGID language : {ChineseTexts, EnglishTexts})
        for (const UINT id : {IDS_SAVE_FAILED_CHOICE, IDS_READ_FAILED_CHOICE}) {
            const std::wstring text = LoadStringIn(Program, id, language).value_or(L"");
            ASSERT_FALSE(text.empty()) << id;
            for (const wchar_t* button : {L"\u91CD\u8BD5", L"\u53D6\u6D88", L"Retry", L"Cancel"})
                EXPECT_EQ(text.find(button), std::wstring::npos) << id << " in " << language;
        }
}

TEST(StringTables, TheLanguageInUseGivesEveryText) {
    EXPECT_EQ(TextLanguage(), ChineseTexts) << "Chinese until told otherwise";
    EXPECT_EQ(Text(IDS_MENU_EXIT), "退出(&X)");
    UseTextLanguage(EnglishTexts);
    EXPECT_EQ(Text(IDS_MENU_EXIT), "E&xit");
    EXPECT_EQ(WideText(IDS_MENU_SETTINGS), L"&Settings\u2026");
    UseTextLanguage(ChineseTexts);
    EXPECT_EQ(WideText(IDS_UNKNOWN_ZONE_MARK), L"\uFF08本地时间\uFF09");
    EXPECT_EQ(Text(LastTextId + 1), "");
}

} // namespace

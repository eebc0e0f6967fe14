// The font list's names: repeats of one family collapse, the order is
// lstrcmpA's, and the system's enumeration goes through both.
#include "settings/FontList.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

namespace {

using Names = std::vector<std::string>;

TEST(FontNameRepeats, RunsOfOneNameCollapseAndNothingElseGoes) {
    const struct {
        Names names;
        Names kept;
    } cases[] = {
        {{}, {}},
        {{"宋体"}, {"宋体"}},
        {{"Arial", "Arial", "Arial"}, {"Arial"}},
        {{"Arial", "宋体", "宋体", "Tahoma", "Tahoma"}, {"Arial", "宋体", "Tahoma"}},
        // Only neighbours are repeats: the same name further on stays.
        {{"A", "B", "A"}, {"A", "B", "A"}},
        {{"A", "A", "B", "B", "A", "A"}, {"A", "B", "A"}},
        // Byte for byte: names that differ only in case are two names.
        {{"arial", "Arial", "Arial"}, {"arial", "Arial"}},
        {{"", ""}, {""}},
    };
    for (const auto& c : cases)
        EXPECT_EQ(DropRepeatedNames(c.names), c.kept) << c.names.size() << " names";
}

bool InLstrcmpOrder(const Names& names) {
    for (std::size_t i = 1; i < names.size(); ++i)
        if (lstrcmpA(names[i - 1].c_str(), names[i].c_str()) > 0)
            return false;
    return true;
}

TEST(FontNameOrder, SortedAsLstrcmpComparesNotByBytes) {
    const Names unsorted = {"b",        "Tahoma",      "Arial",       "a",       "B",   "@宋体", "宋体",
                            "微软雅黑", "Courier New", "Arial Black", "courier", "1st", "Z"};
    const Names sorted = SortNamesByLstrcmp(unsorted);
    EXPECT_TRUE(InLstrcmpOrder(sorted)) << testing::PrintToString(sorted);
    EXPECT_TRUE(std::is_permutation(sorted.begin(), sorted.end(), unsorted.begin(), unsorted.end()));
    // Byte order would put every capital before every small letter.
    const auto at = [&](const char* name) {
        return std::find(sorted.begin(), sorted.end(), name) - sorted.begin();
    };
    EXPECT_LT(at("a"), at("B"));
    EXPECT_LT(at("Arial Black"), at("b"));
    EXPECT_LT(at("courier"), at("Tahoma"));
    EXPECT_LT(at("Courier New"), at("Z"));
}

TEST(FontNameOrder, EveryLengthAndStartingOrderComesOutSorted) {
    // Every position the halving can end at: front, back and between, for
    // inputs in order, reversed and interleaved.
    const Names pool = {"Z", "y", "X", "w", "V", "u", "T", "s", "R", "q", "P", "o", "N"};
    for (std::size_t length = 0; length <= pool.size(); ++length) {
        Names forward(pool.begin(), pool.begin() + static_cast<std::ptrdiff_t>(length));
        Names backward(forward.rbegin(), forward.rend());
        Names interleaved;
        for (std::size_t i = 0; i < length; i += 2)
            interleaved.push_back(forward[i]);
        for (std::size_t i = 1; i < length; i += 2)
            interleaved.push_back(forward[i]);
        const Names expected = SortNamesByLstrcmp(forward);
        EXPECT_TRUE(InLstrcmpOrder(expected)) << length;
        EXPECT_EQ(SortNamesByLstrcmp(backward), expected) << length;
        EXPECT_EQ(SortNamesByLstrcmp(interleaved), expected) << length;
    }
}

TEST(FontNameOrder, RepeatedNamesEndUpSideBySide) {
    // lstrcmpA answers 0 only for names it cannot tell apart; the later one
    // goes after the earlier.
    const Names names = SortNamesByLstrcmp({"b", "a", "b", "a"});
    EXPECT_EQ(names, (Names{"a", "a", "b", "b"}));
}

TEST(InstalledFontNames, RepeatsFromSeveralCharacterSetsCollapseInLstrcmpOrder) {
    const Names reported = EnumerateFontFaceNames();
    ASSERT_FALSE(reported.empty());
    // DEFAULT_CHARSET reports a family once for each of its character sets.
    bool repeated = false;
    for (std::size_t i = 1; i < reported.size(); ++i)
        repeated = repeated || reported[i] == reported[i - 1];
    EXPECT_TRUE(repeated) << "no family reported in several character sets";
    for (const std::string& name : reported) {
        EXPECT_LE(name.size(), 62u) << name; // 31 characters of GBK
        EXPECT_FALSE(name.starts_with("@")) << name << ": a vertical form GDI+ cannot create";
    }

    const Names names = EnumerateFontNames();
    EXPECT_LT(names.size(), reported.size());
    EXPECT_TRUE(InLstrcmpOrder(names));
    // Nothing lost: every reported family is in the list.
    EXPECT_EQ(std::set<std::string>(names.begin(), names.end()),
              std::set<std::string>(reported.begin(), reported.end()));
    // The enumeration reports a family's character sets one after another,
    // so a family comes once.
    EXPECT_EQ(std::set<std::string>(names.begin(), names.end()).size(), names.size());
    // The clock's default face (mapped to an installed font in this prefix).
    EXPECT_NE(std::find(names.begin(), names.end(), "微软雅黑"), names.end());
}

} // namespace

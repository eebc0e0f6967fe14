// Font collections, font families and string formats, and text turned into
// a path with them.
#include "PathObjectTestSupport.h"

#include "graphics/FontObjects.h"
#include "graphics/PathObject.h"
#include "graphics/PenObject.h"
#include "graphics/StringFormatObject.h"
#include "graphics/TextMarshalling.h"

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

using Gdiplus::RectF;

namespace {

// The clock's font: the test prefix maps it to WenQuanYi Micro Hei.
constexpr const char* ClockFontName = "微软雅黑";
constexpr const char* MissingFontName = "Tiko No Such Face";
const RectF WindowRect(0, 0, 380, 150);

// The installed collection, borrowed: GDI+ keeps it for the whole process.
void UseInstalledFonts(FontCollectionObject& collection) {
    Gdiplus::GpFontCollection* installed = nullptr;
    ASSERT_EQ(GdipNewInstalledFontCollection(&installed), Gdiplus::Ok);
    collection.SetNativeHandle(installed);
}

constexpr char NoFontFile[] = "no TrueType file (scripts/install-deps.sh installs fonts-dejavu-core)";

// A font file GDI+ can add to a private collection, from the system's fonts.
std::wstring SomeFontFile() {
    const wchar_t* candidates[] = {
        L"C:\\windows\\Fonts\\tahoma.ttf",
        L"C:\\windows\\Fonts\\arial.ttf",
        L"Z:\\usr\\share\\fonts\\truetype\\dejavu\\DejaVuSans.ttf",
        L"Z:\\usr\\share\\fonts\\truetype\\dejavu\\DejaVuSerif.ttf",
    };
    for (const wchar_t* file : candidates)
        if (GetFileAttributesW(file) != INVALID_FILE_ATTRIBUTES)
            return file;
    return {};
}

} // namespace

// ---------------------------------------------------------------------------
// Font families

TEST(FontFamilyObject, AFaceThatIsNotInstalledLeavesTheWrapperEmptyAndAddStringFails) {
    FontCollectionObject installedFonts;
    FontFamilyObject family;
    ASSERT_TRUE(family.CreateFromName(ClockFontName, installedFonts));
    LastStatus = 0;
    EXPECT_FALSE(family.CreateFromName(MissingFontName, installedFonts));
    EXPECT_NE(LastStatus, 0);
    EXPECT_EQ(family.GetNativeHandle(), nullptr);
    EXPECT_EQ(family.Handle(), nullptr);
    EXPECT_FALSE(family.IsValid());

    StringFormatObject format;
    ASSERT_TRUE(format.Create());
    PathObject path;
    ASSERT_TRUE(path.Create(Gdiplus::FillModeWinding));
    LastStatus = 0;
    EXPECT_FALSE(path.AddString("12:34", family, 48, WindowRect, Gdiplus::FontStyleRegular, format));
    EXPECT_NE(LastStatus, 0);
    EXPECT_EQ(path.GetPointCount(), 0) << "no fallback face: the path stays empty";
}

TEST(FontFamilyObject, TheClockFontIsFoundAndTurnsTheTimeIntoACentredPath) {
    FontCollectionObject installedFonts;
    FontFamilyObject family;
    ASSERT_TRUE(family.CreateFromName(ClockFontName, installedFonts)) << "status " << LastStatus;
    EXPECT_TRUE(family.IsValid());
    EXPECT_FALSE(family.GetNameW().empty());

    StringFormatObject format;
    ASSERT_TRUE(format.Create(0, 0));
    ASSERT_TRUE(format.SetAlignment(Gdiplus::StringAlignmentCenter));
    ASSERT_TRUE(format.SetLineAlignment(Gdiplus::StringAlignmentCenter));

    PathObject path;
    ASSERT_TRUE(path.Create(Gdiplus::FillModeWinding));
    ASSERT_TRUE(path.AddString("12:34", family, 72, WindowRect, Gdiplus::FontStyleRegular, format));
    EXPECT_GT(path.GetPointCount(), 20);

    RectF bounds;
    ASSERT_TRUE(path.GetBounds(bounds, nullptr, PenObject{}));
    EXPECT_GT(bounds.Width, 72) << "five glyphs at 72 pixels";
    EXPECT_LT(bounds.Height, 100);
    EXPECT_NEAR(bounds.X + bounds.Width / 2, 190, 12) << "centred across the window";
    EXPECT_NEAR(bounds.Y + bounds.Height / 2, 75, 20) << "and down it";
}

TEST(FontFamilyObject, EveryTextFormAddsTheSameOutline) {
    FontCollectionObject installedFonts;
    FontFamilyObject family;
    ASSERT_TRUE(family.CreateFromName(ClockFontName, installedFonts));
    StringFormatObject format;
    ASSERT_TRUE(format.Create());
    const Gdiplus::Rect integerRect(0, 0, 380, 150);

    using Add = std::function<bool(PathObject&)>;
    const std::vector<std::pair<const char*, Add>> forms{
        {"AddString", [&](PathObject& p) { return p.AddString("08:05", family, 40, WindowRect, 0, format); }},
        {"AddStringW",
         [&](PathObject& p) { return p.AddStringW(L"08:05", family, 40, WindowRect, 0, format); }},
        {"AddStringI",
         [&](PathObject& p) { return p.AddStringI("08:05", family, 40, integerRect, 0, format); }},
        {"AddStringIW",
         [&](PathObject& p) { return p.AddStringIW(L"08:05", family, 40, integerRect, 0, format); }},
    };
    int expected = -1;
    for (const auto& [name, add] : forms) {
        PathObject path;
        ASSERT_TRUE(path.Create());
        ASSERT_TRUE(add(path)) << name << " status " << LastStatus;
        if (expected < 0)
            expected = path.GetPointCount();
        EXPECT_EQ(path.GetPointCount(), expected) << name;
    }
    EXPECT_GT(expected, 0);
}

TEST(FontFamilyObject, EmptyTextAddsNothing) {
    FontCollectionObject installedFonts;
    FontFamilyObject family;
    ASSERT_TRUE(family.CreateFromName(ClockFontName, installedFonts));
    StringFormatObject noFormat;
    PathObject path;
    ASSERT_TRUE(path.Create());
    path.AddString("", family, 40, WindowRect, 0, noFormat);
    EXPECT_EQ(path.GetPointCount(), 0);
    // An empty UTF-16 buffer goes to GDI+ as null, which it refuses.
    LastStatus = 0;
    EXPECT_FALSE(path.AddStringW(L"", family, 40, WindowRect, 0, noFormat));
    EXPECT_EQ(LastStatus, Gdiplus::InvalidParameter);
}

TEST(FontFamilyObject, NamesReadBackInTheAnsiCodePageNameTheSameFamily) {
    // Every installed family, Chinese names included: the ANSI name GetName
    // answers finds the same family as its UTF-16 name does.
    FontCollectionObject installed;
    UseInstalledFonts(installed);
    std::vector<FontFamilyObject> families;
    const int count = installed.GetFamilies(installed.GetFamilyCount(), families);
    ASSERT_GT(count, 0);
    FontCollectionObject installedFonts;
    int nonAscii = 0, compared = 0;
    for (int i = 0; i < count; ++i) {
        const FontFamilyObject& family = families[static_cast<std::size_t>(i)];
        const std::wstring wide = family.GetNameW();
        const std::string ansi = family.GetName();
        ASSERT_FALSE(ansi.empty()) << i;
        // A name the ANSI code page cannot hold has no ANSI form to check.
        BOOL lossy = FALSE;
        WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.c_str(), -1, nullptr, 0, nullptr, &lossy);
        if (lossy)
            continue;
        if (std::any_of(wide.begin(), wide.end(), [](wchar_t c) { return c > 0x7F; }))
            ++nonAscii;
        EXPECT_EQ(AnsiToWide(ansi), wide) << "family " << i << " converted back with the input code page";
        // Some listed faces are not found again by their own name (GDI+
        // matches full names); the ANSI name must do exactly what the UTF-16 does.
        FontFamilyObject byAnsi, byWide;
        const bool foundByWide = byWide.CreateFromNameW(wide, installedFonts);
        EXPECT_EQ(byAnsi.CreateFromName(ansi, installedFonts), foundByWide) << "family " << i;
        EXPECT_EQ(byAnsi.GetNameW(), byWide.GetNameW()) << "family " << i;
        compared += foundByWide;
    }
    EXPECT_GT(compared, 0);
    RecordProperty("NonAsciiFamilies", nonAscii);
}

TEST(FontFamilyObject, NameOfNoFamilyIsEmptyWithTheRefusalRecorded) {
    FontFamilyObject none;
    LastStatus = 0;
    EXPECT_EQ(none.GetName(), "");
    EXPECT_EQ(LastStatus, Gdiplus::InvalidParameter);
    LastStatus = 0;
    EXPECT_EQ(none.GetNameW(), L"");
    EXPECT_EQ(LastStatus, Gdiplus::InvalidParameter);
}

TEST(FontFamilyObject, MetricsInDesignUnits) {
    FontCollectionObject installedFonts;
    FontFamilyObject family;
    ASSERT_TRUE(family.CreateFromName(ClockFontName, installedFonts));
    const int style = Gdiplus::FontStyleRegular;
    EXPECT_TRUE(family.IsStyleAvailable(style));
    const int em = family.GetEmHeight(style);
    const int ascent = family.GetCellAscent(style);
    const int descent = family.GetCellDescent(style);
    EXPECT_GT(em, 0);
    EXPECT_GT(ascent, 0);
    EXPECT_GT(descent, 0);
    EXPECT_GE(family.GetLineSpacing(style), ascent + descent);
    EXPECT_EQ(LastStatus, 0);

    FontFamilyObject none;
    LastStatus = 0;
    EXPECT_EQ(none.GetEmHeight(style), 0);
    EXPECT_EQ(LastStatus, Gdiplus::InvalidParameter);
}

TEST(FontFamilyObject, GenericFamiliesAreCreateOperations) {
    using Create = std::function<bool(FontFamilyObject&)>;
    const std::vector<std::pair<const char*, Create>> generics{
        {"SansSerif", [](FontFamilyObject& f) { return f.CreateGenericSansSerif(); }},
        {"Serif", [](FontFamilyObject& f) { return f.CreateGenericSerif(); }},
        {"Monospace", [](FontFamilyObject& f) { return f.CreateGenericMonospace(); }},
    };
    for (const auto& [name, create] : generics) {
        FontFamilyObject family;
        FontCollectionObject installedFonts;
        ASSERT_TRUE(family.CreateFromName(ClockFontName, installedFonts));
        const bool created = create(family);
        // Without the generic faces installed GDI+ answers FontFamilyNotFound.
        EXPECT_EQ(created, LastStatus == 0) << name;
        EXPECT_EQ(family.IsValid(), created) << name;
        EXPECT_EQ(family.GetNativeHandle(), static_cast<void*>(family.Handle())) << name;
        if (created)
            EXPECT_FALSE(family.GetNameW().empty()) << name;
        else
            EXPECT_EQ(LastStatus, Gdiplus::FontFamilyNotFound) << name;
    }
}

TEST(FontFamilyObject, CloneGivesTheTargetItsOwnReference) {
    FontCollectionObject installedFonts;
    FontFamilyObject target;
    {
        FontFamilyObject family;
        ASSERT_TRUE(family.CreateFromName(ClockFontName, installedFonts));
        ASSERT_TRUE(family.Clone(target));
        EXPECT_EQ(target.GetNameW(), family.GetNameW());
    }
    // The source has released its reference; the target's still works.
    EXPECT_TRUE(target.IsValid());
    EXPECT_FALSE(target.GetNameW().empty());
    EXPECT_EQ(LastStatus, 0);
}

// A family from a private collection lives as long as someone holds a
// reference; with the collection gone, the wrapper's is the last one.
TEST(FontFamilyObject, DestroyingOrRecreatingAFamilyReleasesItsNativeFamily) {
    const std::wstring file = SomeFontFile();
    ASSERT_FALSE(file.empty()) << NoFontFile;
    for (const bool recreate : {false, true}) {
        auto collection = std::make_unique<FontCollectionObject>();
        ASSERT_TRUE(collection->CreatePrivate());
        ASSERT_TRUE(collection->AddFontFileW(file));
        std::wstring name;
        {
            std::vector<FontFamilyObject> listed;
            ASSERT_EQ(collection->GetFamilies(1, listed), 1);
            name = listed[0].GetNameW();
        }
        auto family = std::make_unique<FontFamilyObject>();
        ASSERT_TRUE(family->CreateFromNameW(name, *collection));
        const void* const native = family->Handle();
        collection.reset();
        // GDI+ allocates its objects from a heap of the process (GdipAlloc).
        ASSERT_TRUE(pathtest::IsLiveHeapBlock(native)) << "the family is no live heap block";
        if (recreate) {
            FontCollectionObject installedFonts;
            ASSERT_TRUE(family->CreateFromName(ClockFontName, installedFonts));
        } else {
            family.reset();
        }
        EXPECT_FALSE(pathtest::IsLiveHeapBlock(native)) << (recreate ? "recreated" : "destroyed");
    }
}

TEST(FontCollectionObject, DestroyingAnOwnedCollectionDeletesIt) {
    auto collection = std::make_unique<FontCollectionObject>();
    ASSERT_TRUE(collection->CreatePrivate());
    const void* const native = collection->Handle();
    ASSERT_TRUE(pathtest::IsLiveHeapBlock(native)) << "the collection is no live heap block";
    collection.reset();
    EXPECT_FALSE(pathtest::IsLiveHeapBlock(native));
}

TEST(FontFamilyObject, CreateFromNameWTakesUtf16) {
    FontCollectionObject installedFonts;
    FontFamilyObject family;
    ASSERT_TRUE(family.CreateFromNameW(L"\u5fae\u8f6f\u96c5\u9ed1", installedFonts))
        << "status " << LastStatus;
    FontFamilyObject ansi;
    ASSERT_TRUE(ansi.CreateFromName(ClockFontName, installedFonts));
    EXPECT_EQ(family.GetNameW(), ansi.GetNameW());
}

// ---------------------------------------------------------------------------
// Font collections

TEST(FontCollectionObject, GetFamiliesWithACountOfZeroOrLessChangesNothing) {
    FontCollectionObject installed;
    UseInstalledFonts(installed);
    std::vector<FontFamilyObject> families(2);
    FontCollectionObject installedFonts;
    ASSERT_TRUE(families[0].CreateFromName(ClockFontName, installedFonts));
    void* const kept = families[0].GetNativeHandle();
    for (const int count : {0, -1}) {
        LastStatus = 0;
        EXPECT_EQ(installed.GetFamilies(count, families), 0);
        EXPECT_EQ(LastStatus, InvalidParameterStatus);
        ASSERT_EQ(families.size(), 2u);
        EXPECT_EQ(families[0].GetNativeHandle(), kept);
        EXPECT_FALSE(families[1].IsValid());
    }
}

TEST(FontCollectionObject, AskingForMoreFamiliesThanThereAreLeavesEmptyWrappersAtTheEnd) {
    FontCollectionObject installed;
    UseInstalledFonts(installed);
    const int available = installed.GetFamilyCount();
    ASSERT_GT(available, 0);
    std::vector<FontFamilyObject> families(1);
    ASSERT_EQ(installed.GetFamilies(available + 3, families), available);
    EXPECT_EQ(LastStatus, 0);
    ASSERT_EQ(families.size(), static_cast<std::size_t>(available + 3));
    for (int i = 0; i < available + 3; ++i) {
        const FontFamilyObject& family = families[static_cast<std::size_t>(i)];
        EXPECT_EQ(family.IsValid(), i < available) << i;
        EXPECT_EQ(family.GetNativeHandle(), static_cast<void*>(family.Handle())) << i;
    }
}

TEST(FontCollectionObject, FiveWrappersFromAPrivateCollectionOfOneFace) {
    const std::wstring file = SomeFontFile();
    ASSERT_FALSE(file.empty()) << NoFontFile;
    std::vector<FontFamilyObject> families;
    {
        FontCollectionObject collection;
        ASSERT_TRUE(collection.CreatePrivate());
        EXPECT_TRUE(collection.OwnsHandle());
        ASSERT_TRUE(collection.AddFontFileW(file)) << "status " << LastStatus;
        ASSERT_EQ(collection.GetFamilyCount(), 1);
        EXPECT_EQ(collection.GetFamilies(5, families), 1);
        ASSERT_EQ(families.size(), 5u);
        EXPECT_TRUE(families[0].IsValid());
        for (std::size_t i = 1; i < 5; ++i)
            EXPECT_FALSE(families[i].IsValid()) << i;
    }
    // The collection is gone; the family wrapper holds its own reference.
    EXPECT_FALSE(families[0].GetNameW().empty());
    EXPECT_EQ(LastStatus, 0);
}

TEST(FontCollectionObject, FamilyWrappersReleaseOnlyTheReferencesTheyTook) {
    const std::wstring file = SomeFontFile();
    ASSERT_FALSE(file.empty()) << NoFontFile;
    auto collection = std::make_unique<FontCollectionObject>();
    ASSERT_TRUE(collection->CreatePrivate());
    ASSERT_TRUE(collection->AddFontFileW(file));
    // The collection's own family, as the list lends it.
    Gdiplus::GpFontFamily* lent = nullptr;
    int found = 0;
    ASSERT_EQ(GdipGetFontCollectionFamilyList(collection->Handle(), 1, &lent, &found), Gdiplus::Ok);
    ASSERT_EQ(found, 1);
    ASSERT_TRUE(pathtest::IsLiveHeapBlock(lent)) << "the family is no live heap block";

    for (int round = 0; round < 3; ++round) {
        std::vector<FontFamilyObject> families;
        ASSERT_EQ(collection->GetFamilies(2, families), 1);
    }
    EXPECT_TRUE(pathtest::IsLiveHeapBlock(lent)) << "the wrappers released the collection's own family";

    std::vector<FontFamilyObject> kept;
    ASSERT_EQ(collection->GetFamilies(1, kept), 1);
    collection.reset();
    EXPECT_TRUE(pathtest::IsLiveHeapBlock(kept[0].Handle()))
        << "the wrapper's reference outlives the collection";
    EXPECT_FALSE(kept[0].GetNameW().empty());
}

TEST(FontCollectionObject, AnAnsiFileNameIsConvertedAndAMissingFileRefused) {
    FontCollectionObject collection;
    ASSERT_TRUE(collection.CreatePrivate());
    LastStatus = 0;
    EXPECT_FALSE(collection.AddFontFile("C:\\no\\such\\font.ttf"));
    EXPECT_NE(LastStatus, 0);
    EXPECT_EQ(collection.GetFamilyCount(), 0);
    const std::wstring file = SomeFontFile();
    ASSERT_FALSE(file.empty()) << NoFontFile;
    ASSERT_TRUE(collection.AddFontFile(WideToAnsi(file)));
    EXPECT_EQ(collection.GetFamilyCount(), 1);
}

TEST(FontCollectionObject, AFamilyIsLookedUpInTheGivenCollection) {
    const std::wstring file = SomeFontFile();
    ASSERT_FALSE(file.empty()) << NoFontFile;
    FontCollectionObject collection;
    ASSERT_TRUE(collection.CreatePrivate());
    ASSERT_TRUE(collection.AddFontFileW(file));
    std::vector<FontFamilyObject> families;
    ASSERT_EQ(collection.GetFamilies(1, families), 1);
    FontFamilyObject family;
    EXPECT_TRUE(family.CreateFromNameW(families[0].GetNameW(), collection));
    LastStatus = 0;
    EXPECT_FALSE(family.CreateFromName(ClockFontName, collection)) << "not in this collection";
    EXPECT_EQ(LastStatus, Gdiplus::FontFamilyNotFound);
}

TEST(FontCollectionObject, ABorrowedHandleIsOnlyForgottenAnOwnedOneDeleted) {
    {
        FontCollectionObject borrowed;
        UseInstalledFonts(borrowed);
        EXPECT_FALSE(borrowed.OwnsHandle());
        LastStatus = 4;
        EXPECT_TRUE(borrowed.Delete());
        EXPECT_EQ(LastStatus, 4) << "nothing was called";
        EXPECT_FALSE(borrowed.IsValid());
        UseInstalledFonts(borrowed);
    }
    // The installed collection survived its borrowers.
    FontCollectionObject again;
    UseInstalledFonts(again);
    EXPECT_GT(again.GetFamilyCount(), 0);

    FontCollectionObject owned;
    ASSERT_TRUE(owned.CreatePrivate());
    ASSERT_TRUE(owned.OwnsHandle());
    LastStatus = 4;
    EXPECT_TRUE(owned.Delete());
    EXPECT_EQ(LastStatus, 0) << "the private collection was deleted";
    EXPECT_FALSE(owned.OwnsHandle());

    Gdiplus::GpFontCollection* made = nullptr;
    ASSERT_EQ(GdipNewPrivateFontCollection(&made), Gdiplus::Ok);
    owned.AttachPrivate(made);
    EXPECT_TRUE(owned.OwnsHandle());
    EXPECT_EQ(owned.GetNativeHandle(), static_cast<void*>(made));
    // Handing it a borrowed handle ends the ownership of what it had.
    UseInstalledFonts(owned);
    EXPECT_FALSE(owned.OwnsHandle());
}

// ---------------------------------------------------------------------------
// String formats

struct FormatPropertyCase {
    const char* name;
    std::function<bool(StringFormatObject&)> set;
    std::function<int(const StringFormatObject&)> get;
    int before, after;
};

class StringFormatProperties : public testing::TestWithParam<FormatPropertyCase> {};

TEST_P(StringFormatProperties, SetterChangesWhatTheGetterAnswers) {
    const FormatPropertyCase c = GetParam();
    StringFormatObject format;
    ASSERT_TRUE(format.Create());
    EXPECT_EQ(c.get(format), c.before);
    ASSERT_TRUE(c.set(format)) << "status " << LastStatus;
    EXPECT_EQ(c.get(format), c.after);
    EXPECT_EQ(LastStatus, 0);
}

INSTANTIATE_TEST_SUITE_P(
    StringFormatObject, StringFormatProperties,
    testing::Values(
        FormatPropertyCase{
            "Flags", [](StringFormatObject& f) { return f.SetFlags(Gdiplus::StringFormatFlagsNoWrap); },
            [](const StringFormatObject& f) { return f.GetFlags(); }, 0, Gdiplus::StringFormatFlagsNoWrap},
        FormatPropertyCase{
            "Alignment", [](StringFormatObject& f) { return f.SetAlignment(Gdiplus::StringAlignmentCenter); },
            [](const StringFormatObject& f) { return f.GetAlignment(); }, 0, 1},
        FormatPropertyCase{
            "LineAlignment",
            [](StringFormatObject& f) { return f.SetLineAlignment(Gdiplus::StringAlignmentFar); },
            [](const StringFormatObject& f) { return f.GetLineAlignment(); }, 0, 2},
        FormatPropertyCase{
            "Trimming",
            [](StringFormatObject& f) { return f.SetTrimming(Gdiplus::StringTrimmingEllipsisWord); },
            [](const StringFormatObject& f) { return f.GetTrimming(); }, Gdiplus::StringTrimmingCharacter,
            Gdiplus::StringTrimmingEllipsisWord},
        FormatPropertyCase{"HotkeyPrefix",
                           [](StringFormatObject& f) { return f.SetHotkeyPrefix(Gdiplus::HotkeyPrefixShow); },
                           [](const StringFormatObject& f) { return f.GetHotkeyPrefix(); },
                           Gdiplus::HotkeyPrefixNone, Gdiplus::HotkeyPrefixShow}),
    [](const testing::TestParamInfo<FormatPropertyCase>& info) { return std::string(info.param.name); });

TEST(StringFormatObject, CreateTakesFlagsAndLanguage) {
    StringFormatObject format;
    ASSERT_TRUE(format.Create(Gdiplus::StringFormatFlagsDirectionVertical, 0x0804));
    EXPECT_EQ(format.GetFlags(), Gdiplus::StringFormatFlagsDirectionVertical);
    ASSERT_TRUE(format.CreateGenericTypographic());
    EXPECT_NE(format.GetFlags() & Gdiplus::StringFormatFlagsNoClip, 0) << "typographic formats do not clip";
    ASSERT_TRUE(format.CreateGenericDefault());
    EXPECT_EQ(format.GetFlags(), 0);
    EXPECT_EQ(format.GetNativeHandle(), static_cast<void*>(format.Handle()));
}

TEST(StringFormatObject, TabStopsRoundTripWithTheFirstOffset) {
    StringFormatObject format;
    ASSERT_TRUE(format.Create());
    float firstOffset = -1;
    std::vector<float> stops{1, 2, 3};
    EXPECT_EQ(format.GetTabStops(firstOffset, stops), 0);
    EXPECT_TRUE(stops.empty());

    const float given[] = {12, 24.5f};
    ASSERT_TRUE(format.SetTabStops(8, given));
    ASSERT_EQ(format.GetTabStops(firstOffset, stops), 2);
    EXPECT_FLOAT_EQ(firstOffset, 8);
    EXPECT_EQ(stops, (std::vector<float>{12, 24.5f}));

    StringFormatObject none;
    std::vector<float> kept{5};
    firstOffset = 3;
    EXPECT_EQ(none.GetTabStops(firstOffset, kept), 0);
    EXPECT_EQ(LastStatus, Gdiplus::InvalidParameter);
    EXPECT_EQ(kept, std::vector<float>{5});
    EXPECT_FLOAT_EQ(firstOffset, 3);
}

TEST(StringFormatObject, DigitSubstitutionTakesMethodThenLanguage) {
    StringFormatObject format;
    ASSERT_TRUE(format.Create());
    ASSERT_TRUE(format.SetDigitSubstitution(Gdiplus::StringDigitSubstituteNational, 0x0804));
    int method = -1, language = -1;
    ASSERT_TRUE(format.GetDigitSubstitution(method, language));
    EXPECT_EQ(method, Gdiplus::StringDigitSubstituteNational);
    EXPECT_EQ(language, 0x0804);

    ASSERT_TRUE(format.SetDigitSubstitution(Gdiplus::StringDigitSubstituteNone));
    ASSERT_TRUE(format.GetDigitSubstitution(method, language));
    EXPECT_EQ(method, Gdiplus::StringDigitSubstituteNone);
    EXPECT_EQ(language, 0) << "omitted language is 0";
}

TEST(StringFormatObject, MeasurableCharacterRangesAreCounted) {
    StringFormatObject format;
    ASSERT_TRUE(format.Create());
    EXPECT_EQ(format.GetMeasurableCharacterRangeCount(), 0);
    const Gdiplus::CharacterRange ranges[] = {{0, 2}, {3, 2}, {5, 1}};
    ASSERT_TRUE(format.SetMeasurableCharacterRanges(ranges));
    EXPECT_EQ(format.GetMeasurableCharacterRangeCount(), 3);
}

TEST(StringFormatObject, CloneCarriesTheSettingsIntoAnIndependentFormat) {
    StringFormatObject format, copy;
    ASSERT_TRUE(format.Create());
    ASSERT_TRUE(format.SetAlignment(Gdiplus::StringAlignmentFar));
    ASSERT_TRUE(format.Clone(copy));
    EXPECT_NE(copy.GetNativeHandle(), format.GetNativeHandle());
    EXPECT_EQ(copy.GetAlignment(), Gdiplus::StringAlignmentFar);
    ASSERT_TRUE(format.SetAlignment(Gdiplus::StringAlignmentNear));
    EXPECT_EQ(copy.GetAlignment(), Gdiplus::StringAlignmentFar);
}

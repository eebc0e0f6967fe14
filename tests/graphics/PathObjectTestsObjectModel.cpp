// The shared object rules, checked on every wrapper of paths, pens, brushes,
// font collections, font families and string formats: empty at first, one
// handle through every level after a create, release rules, and a second
// create releasing the first native object.
#include "PathObjectTestSupport.h"

#include "graphics/BrushObject.h"
#include "graphics/FontObjects.h"
#include "graphics/PathObject.h"
#include "graphics/PenObject.h"
#include "graphics/StringFormatObject.h"

#include <functional>
#include <algorithm>
#include <memory>
#include <type_traits>
#include <vector>

static_assert(!std::is_copy_constructible_v<PathObject> && !std::is_copy_assignable_v<PathObject>);
static_assert(!std::is_copy_constructible_v<PenObject> && !std::is_copy_assignable_v<PenObject>);
static_assert(!std::is_copy_constructible_v<BrushObject> && !std::is_copy_assignable_v<BrushObject>);
static_assert(!std::is_copy_constructible_v<FontFamilyObject>);
static_assert(!std::is_copy_constructible_v<FontCollectionObject>);
static_assert(!std::is_copy_constructible_v<StringFormatObject>);

namespace {

template <class Wrapper> std::vector<const void*> LevelsOf(const Wrapper& wrapper) {
    return {wrapper.GetNativeHandle(), wrapper.Handle()};
}

std::vector<const void*> LevelsOf(const BrushObject& brush) {
    return {brush.GetNativeHandle(), brush.Handle(), brush.SolidHandle()};
}

struct ModelCase {
    const char* name;
    std::function<std::unique_ptr<GraphicsObjectBase>()> make;
    std::function<bool(GraphicsObjectBase&)> create;
    std::function<bool(GraphicsObjectBase&)> release;
    std::function<std::vector<const void*>(const GraphicsObjectBase&)> levels;
    std::function<bool(const GraphicsObjectBase&)> isValid;
};

template <class Wrapper> ModelCase Case(const char* name, std::function<bool(Wrapper&)> create) {
    return ModelCase{
        name,
        [] { return std::make_unique<Wrapper>(); },
        [create](GraphicsObjectBase& w) { return create(static_cast<Wrapper&>(w)); },
        [](GraphicsObjectBase& w) { return static_cast<Wrapper&>(w).Delete(); },
        [](const GraphicsObjectBase& w) { return LevelsOf(static_cast<const Wrapper&>(w)); },
        [](const GraphicsObjectBase& w) { return static_cast<const Wrapper&>(w).IsValid(); },
    };
}

const Gdiplus::PointF somePoints[] = {{0, 0}, {4, 0}, {4, 4}};
const BYTE someTypes[] = {Gdiplus::PathPointTypeStart, Gdiplus::PathPointTypeLine,
                          Gdiplus::PathPointTypeLine};

std::vector<ModelCase> Cases() {
    return {
        Case<PathObject>("PathCreate", [](PathObject& p) { return p.Create(); }),
        Case<PathObject>("PathCreateFromPoints",
                         [](PathObject& p) { return p.CreateFromPoints(somePoints, someTypes); }),
        Case<PenObject>("PenCreate",
                        [](PenObject& p) { return p.Create(0xFF102030, 2, Gdiplus::UnitPixel); }),
        Case<PenObject>("PenCreateFromBrush",
                        [](PenObject& p) {
                            BrushObject brush;
                            return brush.CreateSolid(0xFF00FF00) &&
                                   p.CreateFromBrush(brush, 3, Gdiplus::UnitWorld);
                        }),
        Case<BrushObject>("BrushCreateSolid", [](BrushObject& b) { return b.CreateSolid(0x80FFFFFF); }),
        Case<StringFormatObject>("FormatCreate", [](StringFormatObject& f) { return f.Create(); }),
        Case<StringFormatObject>("FormatGenericTypographic",
                                 [](StringFormatObject& f) { return f.CreateGenericTypographic(); }),
        Case<FontFamilyObject>(
            "FamilyCreateFromName",
            [](FontFamilyObject& f) { return f.CreateFromName("微软雅黑", FontCollectionObject{}); }),
        Case<FontCollectionObject>("CollectionCreatePrivate",
                                   [](FontCollectionObject& c) { return c.CreatePrivate(); }),
    };
}

class WrapperModel : public testing::TestWithParam<ModelCase> {};

bool AllEqualAndSet(const std::vector<const void*>& levels) {
    for (const void* level : levels)
        if (level != levels.front() || level == nullptr)
            return false;
    return true;
}

} // namespace

TEST_P(WrapperModel, ANewWrapperHoldsNothing) {
    const auto wrapper = GetParam().make();
    for (const void* level : GetParam().levels(*wrapper))
        EXPECT_EQ(level, nullptr);
    LastStatus = 21;
    EXPECT_FALSE(GetParam().isValid(*wrapper));
    EXPECT_EQ(LastStatus, 21) << "IsValid calls nothing";
}

TEST_P(WrapperModel, CreateSpreadsOneHandleThroughEveryLevel) {
    const auto wrapper = GetParam().make();
    LastStatus = 13;
    ASSERT_TRUE(GetParam().create(*wrapper)) << "status " << LastStatus;
    EXPECT_EQ(LastStatus, 0);
    EXPECT_TRUE(AllEqualAndSet(GetParam().levels(*wrapper)));
    EXPECT_TRUE(GetParam().isValid(*wrapper));
}

TEST_P(WrapperModel, ReleasingAnEmptyWrapperAnswersFalseAndLeavesLastStatus) {
    const auto wrapper = GetParam().make();
    for (const std::int32_t before : {0, 2, 17}) {
        LastStatus = before;
        EXPECT_FALSE(GetParam().release(*wrapper));
        EXPECT_EQ(LastStatus, before);
    }
}

TEST_P(WrapperModel, ReleaseRecordsItsStatusAndEmptiesEveryLevel) {
    const auto wrapper = GetParam().make();
    ASSERT_TRUE(GetParam().create(*wrapper));
    LastStatus = 9;
    EXPECT_TRUE(GetParam().release(*wrapper));
    EXPECT_EQ(LastStatus, 0);
    for (const void* level : GetParam().levels(*wrapper))
        EXPECT_EQ(level, nullptr);
    EXPECT_FALSE(GetParam().isValid(*wrapper));
    LastStatus = 9;
    EXPECT_FALSE(GetParam().release(*wrapper)) << "a second release finds nothing";
    EXPECT_EQ(LastStatus, 9);
}

// A second create must release the first native object: recreating one
// wrapper many times may not cost what as many live objects cost.
TEST_P(WrapperModel, CreatingAgainReleasesTheFirstNativeObject) {
    constexpr int rounds = 300;
    const auto wrapper = GetParam().make();
    ASSERT_TRUE(GetParam().create(*wrapper));
    ASSERT_TRUE(GetParam().create(*wrapper)); // settle the allocator on its sizes
    const std::size_t beforeRecreating = pathtest::HeapBytesInUse();
    for (int i = 0; i < rounds; ++i)
        ASSERT_TRUE(GetParam().create(*wrapper));
    const std::size_t afterRecreating = pathtest::HeapBytesInUse();
    EXPECT_TRUE(AllEqualAndSet(GetParam().levels(*wrapper)));

    std::vector<std::unique_ptr<GraphicsObjectBase>> live;
    for (int i = 0; i < rounds; ++i)
        live.push_back(GetParam().make());
    const std::size_t beforeLive = pathtest::HeapBytesInUse();
    for (const auto& each : live)
        ASSERT_TRUE(GetParam().create(*each));
    const std::size_t liveCost = pathtest::HeapBytesInUse() - beforeLive;
    // Where GDI+ hands out one shared object (the generic string formats, a
    // cached family) live objects cost nothing: recreating may then cost no
    // more than a quarter of the smallest object each.
    const std::size_t measuredCost = std::max<std::size_t>(liveCost, rounds * 8);
    const auto recreatingCost =
        static_cast<long long>(afterRecreating) - static_cast<long long>(beforeRecreating);
    EXPECT_LT(recreatingCost, static_cast<long long>(measuredCost / 4))
        << "recreating cost " << recreatingCost << " bytes; " << rounds << " live objects cost " << liveCost;
}

INSTANTIATE_TEST_SUITE_P(PathPenBrushFont, WrapperModel, testing::ValuesIn(Cases()),
                         [](const testing::TestParamInfo<ModelCase>& info) {
                             return std::string(info.param.name);
                         });

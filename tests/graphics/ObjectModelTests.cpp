// The shared object model: handle chain, create and release rules, LastStatus.
#include "GraphicsObjectTestSupport.h"

#include <cstring>
#include <string>
#include <type_traits>
#include <vector>

// A wrapper owns its native object: copying would release it twice.
static_assert(!std::is_copy_constructible_v<GraphicsObjectBase>);
static_assert(!std::is_copy_assignable_v<GraphicsObjectBase>);
static_assert(!std::is_copy_constructible_v<GraphicsObject>);
static_assert(!std::is_copy_assignable_v<GraphicsObject>);

namespace {

// A single-level wrapper over a GDI+ path whose create and delete go through
// the shared rules, with a log of the native calls they made.
class LoggedPath : public SingleLevelObject<Gdiplus::GpPath> {
public:
    ~LoggedPath() override { Delete(); }

    bool Create() {
        return Recreate(
            handle, [this] { Delete(); },
            [this](Gdiplus::GpPath** out) {
                log.push_back("create");
                return GdipCreatePath(Gdiplus::FillModeAlternate, out);
            });
    }
    bool CreateFailing() {
        return Recreate(
            handle, [this] { Delete(); },
            [this](Gdiplus::GpPath**) {
                log.push_back("create");
                // No output address: GDI+ refuses the call.
                return GdipCreatePath(Gdiplus::FillModeAlternate, nullptr);
            });
    }
    bool Delete() {
        return ReleaseWith(handle, [this](Gdiplus::GpPath* path) {
            log.push_back("delete");
            deleted.push_back(path);
            return GdipDeletePath(path);
        });
    }

    std::vector<std::string> log;
    std::vector<Gdiplus::GpPath*> deleted;
};

// Exposes the record of a graphics context to check the chain.
class CanvasRecord : public GraphicsObject {
public:
    using GraphicsObject::canvasGraphics;
    using GraphicsObject::handle;
};

} // namespace

TEST(ObjectModel, NewWrapperHoldsNothing) {
    LoggedPath path;
    CanvasRecord canvas;
    EXPECT_EQ(path.GetNativeHandle(), nullptr);
    EXPECT_FALSE(path.IsValid());
    EXPECT_EQ(canvas.GetNativeHandle(), nullptr);
    EXPECT_EQ(canvas.handle, nullptr);
    EXPECT_EQ(canvas.canvasGraphics, nullptr);
    EXPECT_FALSE(canvas.IsValid());
}

TEST(ObjectModel, CreateSpreadsOneHandleThroughEveryLevel) {
    LoggedPath path;
    ASSERT_TRUE(path.Create());
    EXPECT_NE(path.GetNativeHandle(), nullptr);
    EXPECT_EQ(path.GetNativeHandle(), path.Handle());

    CanvasRecord canvas;
    ASSERT_TRUE(canvas.CreateCanvas(8, 8));
    EXPECT_NE(canvas.GetNativeHandle(), nullptr);
    EXPECT_EQ(canvas.GetNativeHandle(), canvas.handle);
    EXPECT_EQ(canvas.GetNativeHandle(), canvas.canvasGraphics);
    EXPECT_EQ(canvas.Handle(), canvas.handle);

    // SetNativeHandle is the one way in: every level follows it.
    Gdiplus::GpGraphics* const held = canvas.Handle();
    canvas.SetNativeHandle(nullptr);
    EXPECT_EQ(canvas.handle, nullptr);
    EXPECT_EQ(canvas.canvasGraphics, nullptr);
    canvas.SetNativeHandle(held);
    EXPECT_EQ(canvas.handle, held);
    EXPECT_EQ(canvas.canvasGraphics, held);
}

TEST(ObjectModel, CreatingTwiceReleasesTheFirstNativeObjectFirst) {
    LoggedPath path;
    ASSERT_TRUE(path.Create());
    Gdiplus::GpPath* const first = path.Handle();
    ASSERT_TRUE(path.Create());
    EXPECT_EQ(path.log, (std::vector<std::string>{"create", "delete", "create"}));
    ASSERT_EQ(path.deleted.size(), 1u);
    EXPECT_EQ(path.deleted[0], first);
    EXPECT_EQ(path.GetNativeHandle(), path.Handle());
}

TEST(ObjectModel, FailedCreateLeavesTheWrapperEmptyWithTheGdiplusError) {
    LoggedPath path;
    ASSERT_TRUE(path.Create());
    EXPECT_FALSE(path.CreateFailing());
    EXPECT_EQ(LastStatus, Gdiplus::InvalidParameter);
    EXPECT_EQ(path.GetNativeHandle(), nullptr);
    EXPECT_EQ(path.Handle(), nullptr);
    // The old path was released before the attempt.
    EXPECT_EQ(path.log, (std::vector<std::string>{"create", "delete", "create"}));
}

TEST(ObjectModel, ReleaseOfAnEmptyWrapperCallsNothingAndKeepsLastStatus) {
    LoggedPath path;
    for (const std::int32_t before : {0, 6, 17}) {
        LastStatus = before;
        EXPECT_FALSE(path.Delete());
        EXPECT_EQ(LastStatus, before);
    }
    EXPECT_TRUE(path.log.empty());

    GraphicsObject canvas;
    LastStatus = 9;
    EXPECT_FALSE(canvas.ReleaseCanvas());
    EXPECT_EQ(LastStatus, 9);
}

TEST(ObjectModel, ReleaseRecordsTheStatusAndEmptiesTheChain) {
    LoggedPath path;
    ASSERT_TRUE(path.Create());
    LastStatus = 5;
    EXPECT_TRUE(path.Delete());
    EXPECT_EQ(LastStatus, 0);
    EXPECT_EQ(path.GetNativeHandle(), nullptr);
    EXPECT_EQ(path.Handle(), nullptr);
    // A second release finds nothing.
    EXPECT_FALSE(path.Delete());
    EXPECT_EQ(path.log, (std::vector<std::string>{"create", "delete"}));
}

TEST(ObjectModel, OperationsWithoutANativeObjectRecordInvalidParameter) {
    GraphicsObject empty;
    TestBrush brush(NewBrush(OpaqueRed));
    LastStatus = 0;
    EXPECT_FALSE(empty.FillRectangle(brush, 0, 0, 1, 1));
    EXPECT_EQ(LastStatus, Gdiplus::InvalidParameter);
    LastStatus = 0;
    EXPECT_EQ(empty.GetSmoothingMode(), static_cast<Gdiplus::SmoothingMode>(0));
    EXPECT_EQ(LastStatus, Gdiplus::InvalidParameter);
    LastStatus = 0;
    EXPECT_EQ(empty.GetPageScale(), 0.0f);
    EXPECT_EQ(LastStatus, Gdiplus::InvalidParameter);
}

TEST(ObjectModel, CountOfZeroOrLessSetsInvalidParameterAndCallsNothing) {
    for (const int count : {0, -1, -100}) {
        LastStatus = 0;
        EXPECT_FALSE(RequirePositiveCount(count));
        EXPECT_EQ(LastStatus, InvalidParameterStatus);
    }
    LastStatus = 7;
    EXPECT_TRUE(RequirePositiveCount(1));
    EXPECT_EQ(LastStatus, 7);
}

TEST(ObjectModel, IsValidNeitherCallsNorTouchesLastStatus) {
    GraphicsObject canvas;
    LastStatus = 42;
    EXPECT_FALSE(canvas.IsValid());
    ASSERT_TRUE(canvas.CreateCanvas(2, 2));
    LastStatus = 42;
    EXPECT_TRUE(canvas.IsValid());
    EXPECT_EQ(LastStatus, 42);
}

TEST(ObjectModel, AllocAndFreeUseTheGdiplusHeap) {
    void* block = GraphicsObjectBase::Alloc(64);
    ASSERT_NE(block, nullptr);
    std::memset(block, 0xAB, 64);
    GraphicsObjectBase::Free(block);
}

TEST(ObjectModel, NativeOfPassesTheWrappersHandleOrNullWhenAbsent) {
    TestPen pen(NewPen(OpaqueRed, 1));
    EXPECT_EQ(NativeOf<Gdiplus::GpPen>(pen), pen.Handle());
    EXPECT_EQ(NativeOf<Gdiplus::GpPen>(static_cast<const GraphicsObjectBase*>(nullptr)), nullptr);
    EXPECT_EQ(NativeOf<Gdiplus::GpPen>(static_cast<const GraphicsObjectBase*>(&pen)), pen.Handle());
}

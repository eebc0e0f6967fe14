// Text and array marshalling between the program's records and GDI+.
#include "GraphicsObjectTestSupport.h"

#include "graphics/ArrayMarshalling.h"
#include "graphics/TextMarshalling.h"

#include <functional>
#include <vector>

using Gdiplus::Point;
using Gdiplus::PointF;

TEST(TextMarshalling, EmptyAnsiTextBecomesEmptyUtf16) {
    const std::wstring wide = AnsiToWide("");
    EXPECT_TRUE(wide.empty());
    EXPECT_EQ(WideLength(wide), 0);
    EXPECT_EQ(wide.c_str()[0], L'\0');
    EXPECT_TRUE(WideToAnsi(L"").empty());
    EXPECT_TRUE(MultiByteToWide("", GbkCodePage).empty());
    EXPECT_TRUE(WideToMultiByte(L"", GbkCodePage).empty());
}

TEST(TextMarshalling, GbkRoundTripsUnderCodePage936) {
    // The narrow literals are GBK bytes at run time.
    const struct {
        std::string gbk;
        std::wstring utf16;
    } cases[] = {
        {"配置.ini", L"配置.ini"},
        {"微软雅黑", L"微软雅黑"},
        {"真", L"真"},
        {"12:34:56", L"12:34:56"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.utf16));
        const std::wstring wide = MultiByteToWide(c.gbk, GbkCodePage);
        EXPECT_EQ(wide, c.utf16);
        EXPECT_EQ(WideToMultiByte(wide, GbkCodePage), c.gbk);
    }
    EXPECT_EQ(std::string("真").size(), 2u) << "the source must be compiled to GBK";
}

TEST(TextMarshalling, AnsiFunctionsUseTheSystemCodePage) {
    if (GetACP() != GbkCodePage)
        GTEST_SKIP() << "system code page is " << GetACP() << ", not 936";
    EXPECT_EQ(AnsiToWide("时钟"), L"时钟");
    EXPECT_EQ(WideToAnsi(L"时钟"), "时钟");
}

TEST(TextMarshalling, GdiplusLengthStopsAtTheFirstNul) {
    EXPECT_EQ(WideLength(L"abc"), 3);
    EXPECT_EQ(WideLength(std::wstring_view(L"ab\0cd", 5)), 2);
    EXPECT_EQ(WideLength(std::wstring_view()), 0);
    EXPECT_EQ(WideLength(std::wstring_view(L"xyz", 2)), 2);
}

TEST(ArrayMarshalling, InputPointsReachGdiplusContiguouslyAndComeBackTransformed) {
    GraphicsObject canvas;
    ASSERT_TRUE(canvas.CreateCanvas(16, 16));
    ASSERT_TRUE(canvas.TranslateTransform(10, 20));
    ASSERT_TRUE(canvas.ScaleTransform(2, 3));

    // World (x, y) -> device (2x + 10, 3y + 20): every element must be
    // transformed, so GDI+ saw all n of them in order.
    std::vector<PointF> points{{0, 0}, {1, 1}, {2.5f, -1}, {100, 7}, {-4, 0.5f}};
    ASSERT_TRUE(
        canvas.TransformPoints(Gdiplus::CoordinateSpaceDevice, Gdiplus::CoordinateSpaceWorld, points));
    const std::vector<PointF> expected{{10, 20}, {12, 23}, {15, 17}, {210, 41}, {2, 21.5f}};
    ASSERT_EQ(points.size(), expected.size());
    for (std::size_t i = 0; i < points.size(); ++i) {
        EXPECT_FLOAT_EQ(points[i].X, expected[i].X) << i;
        EXPECT_FLOAT_EQ(points[i].Y, expected[i].Y) << i;
    }

    // And back again with the integer twin.
    std::vector<Point> whole{{10, 20}, {12, 23}, {30, 50}};
    ASSERT_TRUE(
        canvas.TransformPointsI(Gdiplus::CoordinateSpaceWorld, Gdiplus::CoordinateSpaceDevice, whole));
    EXPECT_EQ(whole[0].X, 0);
    EXPECT_EQ(whole[0].Y, 0);
    EXPECT_EQ(whole[1].X, 1);
    EXPECT_EQ(whole[1].Y, 1);
    EXPECT_EQ(whole[2].X, 10);
    EXPECT_EQ(whole[2].Y, 10);
}

TEST(ArrayMarshalling, OnlyTheGivenElementsAreTouched) {
    GraphicsObject canvas;
    ASSERT_TRUE(canvas.CreateCanvas(4, 4));
    ASSERT_TRUE(canvas.TranslateTransform(5, 5));
    PointF storage[4] = {{1, 1}, {2, 2}, {3, 3}, {4, 4}};
    ASSERT_TRUE(canvas.TransformPoints(Gdiplus::CoordinateSpaceDevice, Gdiplus::CoordinateSpaceWorld,
                                       std::span<PointF>(storage + 1, 2)));
    EXPECT_FLOAT_EQ(storage[0].X, 1);
    EXPECT_FLOAT_EQ(storage[1].X, 7);
    EXPECT_FLOAT_EQ(storage[2].X, 8);
    EXPECT_FLOAT_EQ(storage[3].X, 4);
}

TEST(ArrayMarshalling, EmptyInputArraySetsInvalidParameterWithoutACall) {
    GraphicsObject canvas;
    ASSERT_TRUE(canvas.CreateCanvas(4, 4));
    TestPen pen(NewPen(OpaqueRed, 1));
    TestBrush brush(NewBrush(OpaqueRed));
    std::vector<PointF> none;
    std::vector<Point> noneI;
    const struct {
        const char* name;
        std::function<bool()> call;
    } cases[] = {
        {"TransformPoints",
         [&] {
             return canvas.TransformPoints(Gdiplus::CoordinateSpaceDevice, Gdiplus::CoordinateSpaceWorld,
                                           none);
         }},
        {"DrawLines", [&] { return canvas.DrawLines(pen, none); }},
        {"DrawPolygonI", [&] { return canvas.DrawPolygonI(pen, noneI); }},
        {"DrawRectangles", [&] { return canvas.DrawRectangles(pen, {}); }},
        {"FillRectanglesI", [&] { return canvas.FillRectanglesI(brush, {}); }},
        {"FillClosedCurve", [&] { return canvas.FillClosedCurve(brush, none); }},
        {"DrawDriverString", [&] { return canvas.DrawDriverString("a", nullptr, brush, none); }},
    };
    for (const auto& c : cases) {
        LastStatus = 0;
        EXPECT_FALSE(c.call()) << c.name;
        EXPECT_EQ(LastStatus, InvalidParameterStatus) << c.name;
    }
    EXPECT_EQ(PaintedCount(canvas), 0);
}

TEST(ArrayMarshalling, OutputArrayIsResizedToExactlyTheQueriedCount) {
    TestPath path;
    Gdiplus::GpPath* native = nullptr;
    ASSERT_EQ(GdipCreatePath(Gdiplus::FillModeAlternate, &native), Gdiplus::Ok);
    path.SetNativeHandle(native);
    ASSERT_EQ(GdipAddPathLine(native, 1, 2, 3, 4), Gdiplus::Ok);
    ASSERT_EQ(GdipAddPathLine(native, 3, 4, 9, 8), Gdiplus::Ok);

    // Old elements go, even when there were more of them.
    std::vector<PointF> points(10, PointF(-1, -1));
    const INT count = ReadArray(
        points, [&](INT* n) { return GdipGetPointCount(native, n); },
        [&](PointF* data, INT n) { return GdipGetPathPoints(native, data, n); });
    ASSERT_EQ(count, 3);
    ASSERT_EQ(points.size(), 3u);
    EXPECT_FLOAT_EQ(points[0].X, 1);
    EXPECT_FLOAT_EQ(points[1].Y, 4);
    EXPECT_FLOAT_EQ(points[2].X, 9);
    EXPECT_EQ(LastStatus, 0);
}

TEST(ArrayMarshalling, FailedCountQueryAnswersZeroAndKeepsTheArray) {
    std::vector<PointF> points(2, PointF(5, 5));
    bool readCalled = false;
    const INT count = ReadArray(
        points, [](INT* n) { return GdipGetPointCount(nullptr, n); },
        [&](PointF*, INT) {
            readCalled = true;
            return Gdiplus::Ok;
        });
    EXPECT_EQ(count, 0);
    EXPECT_FALSE(readCalled);
    EXPECT_EQ(LastStatus, Gdiplus::InvalidParameter);
    ASSERT_EQ(points.size(), 2u);
    EXPECT_FLOAT_EQ(points[1].X, 5);
}

TEST(ArrayMarshalling, ZeroCountEmptiesTheArrayWithoutReading) {
    std::vector<int> values{1, 2, 3};
    bool readCalled = false;
    const INT count = ReadArray(
        values,
        [](INT* n) {
            *n = 0;
            return Gdiplus::Ok;
        },
        [&](int*, INT) {
            readCalled = true;
            return Gdiplus::Ok;
        });
    EXPECT_EQ(count, 0);
    EXPECT_TRUE(values.empty());
    EXPECT_FALSE(readCalled);
}

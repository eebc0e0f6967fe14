#include "bench/StepBench.h"
#include "app/AppGlobals.h"

#include "config/ClockSettings.h"
#include "clock/ClockFace.h"
#include "graphics/BrushObject.h"
#include "graphics/FontObjects.h"
#include "graphics/GraphicsObject.h"
#include "graphics/ImageObject.h"
#include "graphics/PathObject.h"
#include "graphics/PenObject.h"
#include "graphics/StringFormatObject.h"

#include <EmbeddedAssets.h>

#include <cstring>
#include <functional>

namespace {

Summary TimeStep(int count, const std::function<void()>& step) {
    Stopwatch watch;
    std::vector<double> samples;
    for (int i = -10; i < count; ++i) {
        const double start = watch.Now();
        step();
        if (i >= 0)
            samples.push_back(watch.Now() - start);
    }
    return Summarise(std::move(samples));
}

const Gdiplus::RectF TextRect{0, 0, 380, 150};

void TimeTextPath(PathObject& path, const FontFamilyObject& family, const StringFormatObject& format) {
    path.Create(Gdiplus::FillModeWinding);
    path.AddString("9:05:07", family, 80, TextRect, 0, format);
}

} // namespace

std::vector<StepCost> MeasureSteps(int count) {
    if (AppGlobalsExist())
        SetFrameCaching(App().clock, true); // layers kept and cleared
    std::vector<StepCost> costs;
    auto add = [&](const char* name, const std::function<void()>& step) {
        costs.push_back({name, TimeStep(count, step)});
    };

    add("font family from name (the default font)", [] {
        FontFamilyObject family;
        family.CreateFromName(DefaultFontName, FontCollectionObject());
    });
    add("string format, centred both ways", [] {
        StringFormatObject format;
        format.Create(0, 0);
        format.SetAlignment(Gdiplus::StringAlignmentCenter);
        format.SetLineAlignment(Gdiplus::StringAlignmentCenter);
    });
    add("layer canvas 380 x 150 made and released", [] {
        GraphicsObject layer;
        layer.CreateCanvas(380, 150);
        layer.SetSmoothingMode(Gdiplus::SmoothingModeAntiAlias);
        layer.ReleaseCanvas();
    });
    add("PNG decoded from memory and disposed (20 x 20)", [] {
        ImageObject image;
        image.LoadFromMemory(embedded::settingsHoverPng);
        image.Dispose();
    });

    FontFamilyObject family;
    family.CreateFromName(DefaultFontName, FontCollectionObject());
    StringFormatObject format;
    format.Create(0, 0);
    format.SetAlignment(Gdiplus::StringAlignmentCenter);
    format.SetLineAlignment(Gdiplus::StringAlignmentCenter);
    // The text layer as a tick with caching draws it, each part timed.
    GraphicsObject layer;
    layer.CreateCanvas(380, 150);
    GraphicsObject target;
    target.CreateCanvas(380, 150);
    PenObject pen;
    pen.Create(MakeArgb(0xFFFFFF, 255), 5.0f, Gdiplus::UnitPixel);
    BrushObject brush;
    brush.CreateSolid(MakeArgb(9492264, 255));
    std::vector<double> parts[5];
    Stopwatch watch;
    for (int i = -10; i < count; ++i) {
        const double t0 = watch.Now();
        PrepareLayer(layer, 380, 150);
        const double t1 = watch.Now();
        PathObject path;
        TimeTextPath(path, family, format);
        const double t2 = watch.Now();
        layer.DrawPath(pen, path);
        const double t3 = watch.Now();
        layer.FillPath(brush, path);
        const double t4 = watch.Now();
        BlendLayer(target.GetDc(), 0, 0, 380, 150, layer.GetDc(), 0, 0, 380, 150, 255, true, true);
        const double t5 = watch.Now();
        if (i < 0)
            continue;
        const double times[] = {t1 - t0, t2 - t1, t3 - t2, t4 - t3, t5 - t4};
        for (int k = 0; k < 5; ++k)
            parts[k].push_back(times[k]);
    }
    const char* const names[] = {"time layer kept and cleared",
                                 "time path: GdipAddPathString \"9:05:07\", 80 px",
                                 "time outline: GdipDrawPath, 5 px pen", "time fill: GdipFillPath",
                                 "time layer blended, 380 x 150, per-pixel alpha"};
    for (int k = 0; k < 5; ++k)
        costs.push_back({names[k], Summarise(std::move(parts[k]))});

    add("AlphaBlend 380 x 150, copy",
        [&] { BlendLayer(target.GetDc(), 0, 0, 380, 150, layer.GetDc(), 0, 0, 380, 150, 0, false, false); });
    add("AlphaBlend 358 x 128, constant alpha 0",
        [&] { BlendLayer(target.GetDc(), 10, 10, 358, 128, layer.GetDc(), 0, 0, 358, 128, 0, true, false); });
    return costs;
}

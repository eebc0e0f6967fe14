#include "clock/ClockFace.h"

#include "clock/ClockView.h"
#include "clock/FaceInternal.h"
#include "clock/HoverButtons.h"
#include "config/ClockSettings.h"

using namespace clock_face;

namespace {

std::uint64_t redrawCount = 0;
bool frameCaching = true;

} // namespace

FaceCache::FaceCache() = default;
FaceCache::~FaceCache() = default;

namespace {

FrameInputs FrameInputsNow(const ClockView& view) {
    const ClockSettings& s = view.settings;
    const ClockLayout& layout = view.layout;
    FrameInputs inputs{BackdropInputsNow(view),
                       PanelInputsNow(view),
                       TextInputsNow(view),
                       layout.windowRect.X,
                       layout.windowRect.Y,
                       layout.panelRect.X,
                       layout.panelRect.Y,
                       s.clockBackgroundAlpha & 0xFF,
                       s.layeredTransparency,
                       s.clockAlpha & 0xFF,
                       {},
                       view.hoverActive,
                       view.clockCanvas.GetBitmap(),
                       view.clockCanvas.GetWidth(),
                       view.clockCanvas.GetHeight(),
                       view.clockCanvas.GetAlpha(),
                       {}};
    for (ButtonId id : ButtonOrder) {
        const HoverButton& button = HoverButtonFor(view, id);
        const std::span<const std::uint8_t> image = button.CurrentImage();
        inputs.buttons.push_back({{image.begin(), image.end()}, button.bounds});
    }
    GetWindowRect(view.clockCanvas.GetWindow(), &inputs.windowRect);
    return inputs;
}

void DrawLayers(ClockView& view, bool refreshTime) {
    DrawWindowBackdrop(view);
    DrawClockPanel(view);
    DrawTimeText(view, refreshTime);
    DrawHoverButtons(view, view.hoverActive);
}

// Whether the window shows the frame the cache last recorded: nothing else
// has presented (or failed to) on the canvas since.
bool ShownFrameOnScreen(const ClockView& view, const FaceCache& cache) {
    return cache.shown && !cache.shownPixels.empty() && cache.shownSerial == view.clockCanvas.PresentSerial();
}

} // namespace

void RedrawClock(ClockView& view, bool refreshTime) {
    ++redrawCount;
    LayeredCanvas& canvas = view.clockCanvas;
    if (!frameCaching) {
        DrawLayers(view, refreshTime);
        canvas.Present();
        return;
    }
    // The time is read first: it is one of the frame's inputs.
    if (refreshTime)
        ReadTimeText(view);
    FaceCache& cache = *view.faceCache;
    const bool onScreen = ShownFrameOnScreen(view, cache);
    if (onScreen) {
        const FrameInputs now = FrameInputsNow(view);
        // The same frame is not drawn again while the canvas holds it. A tick
        // composes the cells it changes from the layers and sends nothing
        // else, so it need not read the whole canvas first: what else the
        // canvas may hold stays off the screen.
        if (*cache.shown == now) {
            if (SamePixels(CanvasPixels(view), cache.shownPixels))
                return;
        } else if (cache.shown->SameAroundText(now) && RedrawTextCells(view, now)) {
            return;
        }
    }
    DrawLayers(view, false);
    // Only the pixels that differ from the frame on the screen are sent.
    const std::span<const std::uint8_t> pixels = CanvasPixels(view);
    const bool presented = onScreen ? canvas.PresentChanged(ChangedPixelBounds(
                                          cache.shownPixels, pixels, canvas.GetWidth(), canvas.GetHeight()))
                                    : canvas.Present();
    if (!presented) {
        // The screen holds something else: the next frame is sent whole.
        cache.shown.reset();
        cache.shownPixels.clear();
        return;
    }
    // Taken after drawing, with the layers' bitmaps as they are now.
    cache.shown = std::make_unique<FrameInputs>(FrameInputsNow(view));
    cache.shownPixels.assign(pixels.begin(), pixels.end());
    cache.shownSerial = canvas.PresentSerial();
}

void SetFrameCaching(ClockView& view, bool on) {
    frameCaching = on;
    ReleaseFrameCaches(view);
}

void FaceCache::ForgetFigures() {
    timeFigures.clear();
    dateFigures.clear();
    dateBounds.reset();
}

void FaceCache::Release() {
    backdrop.reset();
    panel.reset();
    text.reset();
    ForgetFigures();
    timesAhead = {};
    timesAheadFor.clear();
    cellsLayer.ReleaseCanvas();
    cellsAhead = {};
    cellsBefore = {};
    shown.reset();
    shownPixels.clear();
    family.Delete();
    familyName.clear();
    familyMade = false;
    format.Delete();
}

void ReleaseFrameCaches(ClockView& view) {
    view.faceCache->Release();
    ReleaseButtonCaches(view);
}

bool FrameCaching() {
    return frameCaching;
}

bool SkipsBlend(std::int32_t constantAlpha, bool constantAlphaGiven) {
    return frameCaching && constantAlphaGiven && (constantAlpha & 0xFF) == 0;
}

std::uint64_t RedrawCount() {
    return redrawCount;
}

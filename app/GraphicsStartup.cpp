#include "app/GraphicsStartup.h"

#include "app/AppGlobals.h"
#include "graphics/GdiPlusFlat.h"

bool StartGraphics() {
    ULONG_PTR& token = App().gdiplusToken;
    if (token != 0)
        return true;
    Gdiplus::GdiplusStartupInput input; // version 1, no callback, background thread, codecs
    ULONG_PTR started = 0;
    if (Gdiplus::GdiplusStartup(&started, &input, nullptr) == Gdiplus::Ok)
        token = started;
    return token != 0;
}

bool StopGraphics() {
    ULONG_PTR& token = App().gdiplusToken;
    if (token == 0)
        return false;
    Gdiplus::GdiplusShutdown(token);
    token = 0;
    return true;
}

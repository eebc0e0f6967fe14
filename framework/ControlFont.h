#pragma once
// The one font of every text control: "微软雅黑", 15 pixels at 96 DPI (scaled
// with the display), regular or bold, character set GB2312. Process-wide GDI
// fonts, one per weight and scale, made on first use.
#include "framework/DisplayScale.h"

#include <windows.h>

LOGFONTW ControlLogFont(bool bold, DisplayScale scale = {});
// Owned by the process; never delete the answer.
HFONT ControlFont(bool bold, DisplayScale scale = {});

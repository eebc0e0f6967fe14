#pragma once
// The one font of every text control: "微软雅黑", 15 pixels, regular or bold,
// character set GB2312. Two process-wide GDI fonts, made on first use.
#include <windows.h>

LOGFONTW ControlLogFont(bool bold);
// Owned by the process; never delete the answer.
HFONT ControlFont(bool bold);

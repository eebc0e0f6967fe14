#include "framework/ControlFont.h"

#include "framework/UniqueHandle.h"
#include "graphics/TextMarshalling.h"

#include <algorithm>
#include <string>

namespace {

constexpr UINT GbkCodePage = 936;

} // namespace

LOGFONTW ControlLogFont(bool bold) {
    LOGFONTW font{};
    font.lfHeight = -15; // character height, internal leading excluded
    font.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    font.lfCharSet = GB2312_CHARSET;
    font.lfOutPrecision = OUT_STROKE_PRECIS;
    font.lfClipPrecision = CLIP_STROKE_PRECIS;
    font.lfQuality = DRAFT_QUALITY;
    font.lfPitchAndFamily = VARIABLE_PITCH | FF_SWISS;
    // The face name is one of the program's GBK texts like any other.
    const std::wstring face = MultiByteToWide("微软雅黑", GbkCodePage);
    const std::size_t length = std::min<std::size_t>(face.size(), LF_FACESIZE - 1);
    std::copy_n(face.begin(), length, font.lfFaceName);
    return font;
}

HFONT ControlFont(bool bold) {
    static unique_hfont regular;
    static unique_hfont heavy;
    unique_hfont& font = bold ? heavy : regular;
    if (!font) {
        const LOGFONTW description = ControlLogFont(bold);
        font.reset(CreateFontIndirectW(&description));
    }
    return font.get();
}

#include "framework/ControlFont.h"

#include "framework/UniqueHandle.h"
#include "framework/TextConversion.h"

#include <algorithm>
#include <string>
#include <vector>

namespace {} // namespace

LOGFONTW ControlLogFont(bool bold, DisplayScale scale) {
    LOGFONTW font{};
    font.lfHeight = -scale.Pixels(15); // character height, internal leading excluded
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

HFONT ControlFont(bool bold, DisplayScale scale) {
    struct MadeFont {
        bool bold;
        DisplayScale scale;
        unique_hfont font;
    };
    // A handful at most: one per weight and monitor scale the window met.
    static std::vector<MadeFont> fonts;
    const auto found = std::find_if(fonts.begin(), fonts.end(), [&](const MadeFont& made) {
        return made.bold == bold && made.scale == scale;
    });
    if (found != fonts.end())
        return found->font.get();
    const LOGFONTW description = ControlLogFont(bold, scale);
    unique_hfont font(CreateFontIndirectW(&description));
    if (!font)
        return nullptr;
    fonts.push_back({bold, scale, std::move(font)});
    return fonts.back().font.get();
}

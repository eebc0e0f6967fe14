#pragma once
// StringFormatObject: a GDI+ string format (GpStringFormat), the layout of
// the time text in its rectangle.
#include "graphics/GraphicsObjectBase.h"

#include <span>
#include <vector>

class StringFormatObject : public SingleLevelObject<Gdiplus::GpStringFormat> {
public:
    StringFormatObject() = default;
    ~StringFormatObject() override { Delete(); }

    bool Delete();
    bool Create(int formatFlags = 0, int language = 0);
    bool CreateGenericDefault();
    bool CreateGenericTypographic();
    // Clones this format into target; target's previous format is released.
    bool Clone(StringFormatObject& target) const;

    bool SetFlags(int flags);
    int GetFlags() const;
    // Alignments: 0 near, 1 centre, 2 far.
    bool SetAlignment(int alignment);
    int GetAlignment() const;
    bool SetLineAlignment(int alignment);
    int GetLineAlignment() const;
    bool SetTrimming(int trimming);
    int GetTrimming() const;
    bool SetHotkeyPrefix(int hotkeyPrefix);
    int GetHotkeyPrefix() const;

    bool SetTabStops(float firstTabOffset, std::span<const float> tabStops);
    // Fills firstTabOffset and tabStops; answers the tab-stop count (0 when
    // the count query fails, leaving both as they were).
    int GetTabStops(float& firstTabOffset, std::vector<float>& tabStops) const;
    // Method first, then language (GDI+ takes them the other way round).
    bool SetDigitSubstitution(int method, int language = 0);
    bool GetDigitSubstitution(int& method, int& language) const;
    bool SetMeasurableCharacterRanges(std::span<const Gdiplus::CharacterRange> ranges);
    int GetMeasurableCharacterRangeCount() const;
};

#include "graphics/StringFormatObject.h"

#include <cstddef>

using Gdiplus::GpStringFormat;

namespace {

Gdiplus::StringAlignment Alignment(int alignment) {
    return static_cast<Gdiplus::StringAlignment>(alignment);
}

} // namespace

bool StringFormatObject::Delete() {
    return ReleaseWith(handle, GdipDeleteStringFormat);
}

bool StringFormatObject::Create(int formatFlags, int language) {
    return Recreate(
        handle, [this] { Delete(); },
        [&](GpStringFormat** created) {
            return GdipCreateStringFormat(formatFlags, static_cast<LANGID>(language), created);
        });
}

// GDI+ hands out its shared generic formats here and ignores their deletion,
// so releasing them like any other format is safe.
bool StringFormatObject::CreateGenericDefault() {
    return Recreate(
        handle, [this] { Delete(); }, GdipStringFormatGetGenericDefault);
}

bool StringFormatObject::CreateGenericTypographic() {
    return Recreate(
        handle, [this] { Delete(); }, GdipStringFormatGetGenericTypographic);
}

bool StringFormatObject::Clone(StringFormatObject& target) const {
    GpStringFormat* cloned = nullptr;
    const GpStatus status = GdipCloneStringFormat(handle, &cloned);
    target.Delete();
    target.SetNativeHandle(cloned);
    return RecordStatus(status);
}

bool StringFormatObject::SetFlags(int flags) {
    return RecordStatus(GdipSetStringFormatFlags(handle, flags));
}

int StringFormatObject::GetFlags() const {
    INT flags = 0;
    RecordStatus(GdipGetStringFormatFlags(handle, &flags));
    return flags;
}

bool StringFormatObject::SetAlignment(int alignment) {
    return RecordStatus(GdipSetStringFormatAlign(handle, Alignment(alignment)));
}

int StringFormatObject::GetAlignment() const {
    Gdiplus::StringAlignment alignment = Gdiplus::StringAlignmentNear;
    RecordStatus(GdipGetStringFormatAlign(handle, &alignment));
    return alignment;
}

bool StringFormatObject::SetLineAlignment(int alignment) {
    return RecordStatus(GdipSetStringFormatLineAlign(handle, Alignment(alignment)));
}

int StringFormatObject::GetLineAlignment() const {
    Gdiplus::StringAlignment alignment = Gdiplus::StringAlignmentNear;
    RecordStatus(GdipGetStringFormatLineAlign(handle, &alignment));
    return alignment;
}

bool StringFormatObject::SetTrimming(int trimming) {
    return RecordStatus(GdipSetStringFormatTrimming(handle, static_cast<Gdiplus::StringTrimming>(trimming)));
}

int StringFormatObject::GetTrimming() const {
    Gdiplus::StringTrimming trimming = Gdiplus::StringTrimmingNone;
    RecordStatus(GdipGetStringFormatTrimming(handle, &trimming));
    return trimming;
}

bool StringFormatObject::SetHotkeyPrefix(int hotkeyPrefix) {
    return RecordStatus(GdipSetStringFormatHotkeyPrefix(handle, hotkeyPrefix));
}

int StringFormatObject::GetHotkeyPrefix() const {
    INT prefix = 0;
    RecordStatus(GdipGetStringFormatHotkeyPrefix(handle, &prefix));
    return prefix;
}

bool StringFormatObject::SetTabStops(float firstTabOffset, std::span<const float> tabStops) {
    return RecordStatus(GdipSetStringFormatTabStops(handle, firstTabOffset, static_cast<int>(tabStops.size()),
                                                    tabStops.data()));
}

int StringFormatObject::GetTabStops(float& firstTabOffset, std::vector<float>& tabStops) const {
    INT count = 0;
    if (!RecordStatus(GdipGetStringFormatTabStopCount(handle, &count)))
        return 0;
    tabStops.assign(static_cast<std::size_t>(count > 0 ? count : 0), 0.0f);
    RecordStatus(GdipGetStringFormatTabStops(handle, count, &firstTabOffset, tabStops.data()));
    return count;
}

bool StringFormatObject::SetDigitSubstitution(int method, int language) {
    return RecordStatus(GdipSetStringFormatDigitSubstitution(
        handle, static_cast<LANGID>(language), static_cast<Gdiplus::StringDigitSubstitute>(method)));
}

bool StringFormatObject::GetDigitSubstitution(int& method, int& language) const {
    LANGID nativeLanguage = 0;
    Gdiplus::StringDigitSubstitute nativeMethod = Gdiplus::StringDigitSubstituteUser;
    if (!RecordStatus(GdipGetStringFormatDigitSubstitution(handle, &nativeLanguage, &nativeMethod)))
        return false;
    method = nativeMethod;
    language = nativeLanguage;
    return true;
}

bool StringFormatObject::SetMeasurableCharacterRanges(std::span<const Gdiplus::CharacterRange> ranges) {
    return RecordStatus(
        GdipSetStringFormatMeasurableCharacterRanges(handle, static_cast<int>(ranges.size()), ranges.data()));
}

int StringFormatObject::GetMeasurableCharacterRangeCount() const {
    INT count = 0;
    RecordStatus(GdipGetStringFormatMeasurableCharacterRangeCount(handle, &count));
    return count;
}

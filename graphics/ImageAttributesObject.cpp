#include "graphics/ImageAttributesObject.h"

#include "graphics/TextMarshalling.h"

#include <algorithm>
#include <string>

using namespace Gdiplus;

namespace {

ColorAdjustType AdjustType(int type) {
    return static_cast<ColorAdjustType>(type);
}

ColorMatrix ToNative(std::span<const float, 25> values) {
    ColorMatrix matrix{};
    std::copy(values.begin(), values.end(), &matrix.m[0][0]);
    return matrix;
}

} // namespace

bool ImageAttributesObject::Dispose() {
    return ReleaseWith(handle, GdipDisposeImageAttributes);
}

bool ImageAttributesObject::Create() {
    return Recreate(
        handle, [this] { Dispose(); },
        [](GpImageAttributes** created) { return GdipCreateImageAttributes(created); });
}

bool ImageAttributesObject::Clone(ImageAttributesObject& target) const {
    GpImageAttributes* created = nullptr;
    const GpStatus status = GdipCloneImageAttributes(handle, &created);
    // Released after cloning, so that cloning into itself still works.
    target.Dispose();
    RecordStatus(status);
    target.SetNativeHandle(created);
    return LastStatus == 0;
}

bool ImageAttributesObject::SetToIdentity(int type) {
    return RecordStatus(GdipSetImageAttributesToIdentity(handle, AdjustType(type)));
}

bool ImageAttributesObject::Reset(int type) {
    return RecordStatus(GdipResetImageAttributes(handle, AdjustType(type)));
}

bool ImageAttributesObject::SetThreshold(float threshold, int type) {
    return RecordStatus(GdipSetImageAttributesThreshold(handle, AdjustType(type), TRUE, threshold));
}

bool ImageAttributesObject::ClearThreshold(int type) {
    return RecordStatus(GdipSetImageAttributesThreshold(handle, AdjustType(type), FALSE, 0.0f));
}

bool ImageAttributesObject::SetNoOp(int type) {
    return RecordStatus(GdipSetImageAttributesNoOp(handle, AdjustType(type), TRUE));
}

bool ImageAttributesObject::ClearNoOp(int type) {
    return RecordStatus(GdipSetImageAttributesNoOp(handle, AdjustType(type), FALSE));
}

bool ImageAttributesObject::SetGamma(float gamma, int type) {
    return RecordStatus(GdipSetImageAttributesGamma(handle, AdjustType(type), TRUE, gamma));
}

bool ImageAttributesObject::ClearGamma(int type) {
    return RecordStatus(GdipSetImageAttributesGamma(handle, AdjustType(type), FALSE, 0.0f));
}

bool ImageAttributesObject::SetColorKey(ArgbValue low, ArgbValue high, int type) {
    return RecordStatus(GdipSetImageAttributesColorKeys(handle, AdjustType(type), TRUE, low, high));
}

bool ImageAttributesObject::ClearColorKey(int type) {
    return RecordStatus(GdipSetImageAttributesColorKeys(handle, AdjustType(type), FALSE, 0, 0));
}

bool ImageAttributesObject::SetOutputChannel(int channel, int type) {
    return RecordStatus(GdipSetImageAttributesOutputChannel(handle, AdjustType(type), TRUE,
                                                            static_cast<ColorChannelFlags>(channel)));
}

bool ImageAttributesObject::ClearOutputChannel(int type) {
    return RecordStatus(GdipSetImageAttributesOutputChannel(handle, AdjustType(type), FALSE,
                                                            static_cast<ColorChannelFlags>(0)));
}

bool ImageAttributesObject::SetOutputChannelColorProfile(std::string_view profileFileName, int type) {
    const std::wstring wide = AnsiToWide(profileFileName);
    return RecordStatus(
        GdipSetImageAttributesOutputChannelColorProfile(handle, AdjustType(type), TRUE, wide.c_str()));
}

bool ImageAttributesObject::ClearOutputChannelColorProfile(int type) {
    return RecordStatus(
        GdipSetImageAttributesOutputChannelColorProfile(handle, AdjustType(type), FALSE, nullptr));
}

bool ImageAttributesObject::SetRemapTable(std::vector<ColorMapRecord>& maps, int type) {
    if (!RequirePositiveCount(static_cast<int>(maps.size())))
        return false;
    std::vector<ColorMap> native(maps.size());
    for (std::size_t i = 0; i < maps.size(); ++i) {
        native[i].oldColor.SetValue(maps[i].oldColor);
        native[i].newColor.SetValue(maps[i].newColor);
    }
    RecordStatus(GdipSetImageAttributesRemapTable(handle, AdjustType(type), TRUE,
                                                  static_cast<UINT>(native.size()), native.data()));
    for (std::size_t i = 0; i < maps.size(); ++i)
        maps[i] = {native[i].oldColor.GetValue(), native[i].newColor.GetValue()};
    return LastStatus == 0;
}

bool ImageAttributesObject::ClearRemapTable(int type) {
    return RecordStatus(GdipSetImageAttributesRemapTable(handle, AdjustType(type), FALSE, 0, nullptr));
}

bool ImageAttributesObject::SetWrapMode(int wrapMode, ArgbValue borderColor) {
    return RecordStatus(
        GdipSetImageAttributesWrapMode(handle, static_cast<WrapMode>(wrapMode), borderColor, FALSE));
}

bool ImageAttributesObject::GetAdjustedPalette(PaletteRecord& palette, int type) {
    // ColorPalette ends in a one-entry array; room for the rest follows it.
    const std::size_t count = palette.entries.size();
    std::vector<std::uint8_t> block(sizeof(ColorPalette) + std::max<std::size_t>(count, 1) * sizeof(ARGB));
    auto* native = reinterpret_cast<ColorPalette*>(block.data());
    native->Flags = palette.flags;
    native->Count = static_cast<UINT>(count);
    std::copy(palette.entries.begin(), palette.entries.end(), native->Entries);
    RecordStatus(GdipGetImageAttributesAdjustedPalette(handle, native, AdjustType(type)));
    palette.flags = native->Flags;
    palette.entries.assign(native->Entries, native->Entries + std::min<std::size_t>(native->Count, count));
    return LastStatus == 0;
}

bool ImageAttributesObject::SetColorMatrix(const ColorMatrixValues& colorMatrix,
                                           const ColorMatrixValues& grayMatrix, int flags, int type) {
    const ColorMatrix colour = ToNative(colorMatrix);
    const ColorMatrix gray = ToNative(grayMatrix);
    return RecordStatus(GdipSetImageAttributesColorMatrix(handle, AdjustType(type), TRUE, &colour, &gray,
                                                          static_cast<ColorMatrixFlags>(flags)));
}

bool ImageAttributesObject::SetColorMatrixObjects(const ColorMatrixSource& colorMatrix,
                                                  const ColorMatrixSource* grayMatrix, int flags, int type) {
    ColorMatrixValues colourValues{};
    colorMatrix.WriteValues(colourValues);
    const ColorMatrix colour = ToNative(colourValues);
    ColorMatrix gray{};
    if (grayMatrix) {
        ColorMatrixValues grayValues{};
        grayMatrix->WriteValues(grayValues);
        gray = ToNative(grayValues);
    }
    return RecordStatus(GdipSetImageAttributesColorMatrix(handle, AdjustType(type), TRUE, &colour,
                                                          grayMatrix ? &gray : nullptr,
                                                          static_cast<ColorMatrixFlags>(flags)));
}

bool ImageAttributesObject::ClearColorMatrix(int type) {
    return RecordStatus(GdipSetImageAttributesColorMatrix(handle, AdjustType(type), FALSE, nullptr, nullptr,
                                                          ColorMatrixFlagsDefault));
}

#include "graphics/BrushObject.h"

using Gdiplus::GpBrush;
using Gdiplus::GpSolidFill;

bool BrushObject::Delete() {
    return ReleaseWith(handle, GdipDeleteBrush);
}

bool BrushObject::Clone(BrushObject& target) const {
    GpBrush* cloned = nullptr;
    const GpStatus status = GdipCloneBrush(handle, &cloned);
    target.Delete();
    target.SetNativeHandle(cloned);
    return RecordStatus(status);
}

int BrushObject::GetType() const {
    Gdiplus::BrushType type = Gdiplus::BrushTypeSolidColor;
    RecordStatus(GdipGetBrushType(handle, &type));
    return type;
}

bool BrushObject::CreateSolid(std::uint32_t argb) {
    return Recreate(
        solidHandle, [this] { Delete(); },
        [argb](GpSolidFill** created) { return GdipCreateSolidFill(argb, created); });
}

bool BrushObject::SetColor(std::uint32_t argb) {
    return RecordStatus(GdipSetSolidFillColor(solidHandle, argb));
}

std::uint32_t BrushObject::GetColor() const {
    Gdiplus::ARGB argb = 0;
    RecordStatus(GdipGetSolidFillColor(solidHandle, &argb));
    return argb;
}

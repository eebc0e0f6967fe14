#include "graphics/PenObject.h"

#include "graphics/BrushObject.h"

#include <cstddef>

using Gdiplus::GpBrush;
using Gdiplus::GpCustomLineCap;
using Gdiplus::GpPen;

namespace {

Gdiplus::MatrixOrder Order(int order) {
    return static_cast<Gdiplus::MatrixOrder>(order);
}

// Wraps a rotation or scaling in the two centre translations. Append starts
// at the pen's current transform and moves the centre to the origin first;
// Prepend works from the far end, so its first call is the translation back.
// The first failed call ends it, and its status is the one recorded.
template <class Apply> bool TransformAt(GpPen* pen, const Gdiplus::PointF& centre, int order, Apply apply) {
    const float first = order != 0 ? -1.0f : 1.0f;
    return RecordStatus(GdipTranslatePenTransform(pen, first * centre.X, first * centre.Y, Order(order))) &&
           RecordStatus(apply()) &&
           RecordStatus(GdipTranslatePenTransform(pen, -first * centre.X, -first * centre.Y, Order(order)));
}

template <class Count, class Read>
int ReadFloatArray(GpPen* pen, std::vector<float>& values, Count count, Read read) {
    int wanted = 0;
    if (!RecordStatus(count(pen, &wanted)))
        return 0;
    values.assign(static_cast<std::size_t>(wanted > 0 ? wanted : 0), 0.0f);
    // An empty array has nothing to read; GDI+ would refuse the empty block.
    if (wanted > 0)
        RecordStatus(read(pen, values.data(), wanted));
    return wanted;
}

} // namespace

bool PenObject::Delete() {
    return ReleaseWith(handle, GdipDeletePen);
}

bool PenObject::Create(std::uint32_t argb, float width, int unit) {
    return Recreate(
        handle, [this] { Delete(); },
        [&](GpPen** created) {
            return GdipCreatePen1(argb, width, static_cast<Gdiplus::Unit>(unit), created);
        });
}

bool PenObject::CreateFromBrush(const BrushObject& brush, float width, int unit) {
    return Recreate(
        handle, [this] { Delete(); },
        [&](GpPen** created) {
            return GdipCreatePen2(NativeOf<GpBrush>(brush), width, static_cast<Gdiplus::Unit>(unit), created);
        });
}

bool PenObject::Clone(PenObject& target) const {
    GpPen* cloned = nullptr;
    const GpStatus status = GdipClonePen(handle, &cloned);
    target.Delete();
    target.SetNativeHandle(cloned);
    return RecordStatus(status);
}

float PenObject::GetWidth() const {
    float width = 0.0f;
    RecordStatus(GdipGetPenWidth(handle, &width));
    return width;
}

bool PenObject::SetWidth(float width) {
    return RecordStatus(GdipSetPenWidth(handle, width));
}

int PenObject::GetUnit() const {
    Gdiplus::Unit unit = Gdiplus::UnitWorld;
    RecordStatus(GdipGetPenUnit(handle, &unit));
    return unit;
}

bool PenObject::SetUnit(int unit) {
    return RecordStatus(GdipSetPenUnit(handle, static_cast<Gdiplus::Unit>(unit)));
}

bool PenObject::SetLineCap(int startCap, int endCap, int dashCap) {
    return RecordStatus(GdipSetPenLineCap197819(handle, static_cast<Gdiplus::LineCap>(startCap),
                                                static_cast<Gdiplus::LineCap>(endCap),
                                                static_cast<Gdiplus::DashCap>(dashCap)));
}

bool PenObject::SetStartCap(int startCap) {
    return RecordStatus(GdipSetPenStartCap(handle, static_cast<Gdiplus::LineCap>(startCap)));
}

bool PenObject::SetEndCap(int endCap) {
    return RecordStatus(GdipSetPenEndCap(handle, static_cast<Gdiplus::LineCap>(endCap)));
}

bool PenObject::SetDashCap(int dashCap) {
    return RecordStatus(GdipSetPenDashCap197819(handle, static_cast<Gdiplus::DashCap>(dashCap)));
}

int PenObject::GetStartCap() const {
    Gdiplus::LineCap cap = Gdiplus::LineCapFlat;
    RecordStatus(GdipGetPenStartCap(handle, &cap));
    return cap;
}

int PenObject::GetEndCap() const {
    Gdiplus::LineCap cap = Gdiplus::LineCapFlat;
    RecordStatus(GdipGetPenEndCap(handle, &cap));
    return cap;
}

int PenObject::GetDashCap() const {
    Gdiplus::DashCap cap = Gdiplus::DashCapFlat;
    RecordStatus(GdipGetPenDashCap197819(handle, &cap));
    return cap;
}

bool PenObject::SetLineJoin(int lineJoin) {
    return RecordStatus(GdipSetPenLineJoin(handle, static_cast<Gdiplus::LineJoin>(lineJoin)));
}

int PenObject::GetLineJoin() const {
    Gdiplus::LineJoin join = Gdiplus::LineJoinMiter;
    RecordStatus(GdipGetPenLineJoin(handle, &join));
    return join;
}

// GDI+ dereferences the pen before checking it when a cap is given, so an
// empty pen is refused here the way GDI+ refuses other calls without one.
bool PenObject::SetCustomStartCap(const GraphicsObjectBase& cap) {
    if (!handle)
        return RecordStatus(Gdiplus::InvalidParameter);
    return RecordStatus(GdipSetPenCustomStartCap(handle, NativeOf<GpCustomLineCap>(cap)));
}

bool PenObject::GetCustomStartCap(GraphicsObjectBase& target) const {
    GpCustomLineCap* cap = nullptr;
    if (!RecordStatus(GdipGetPenCustomStartCap(handle, &cap)))
        return false;
    target.SetNativeHandle(cap);
    return true;
}

bool PenObject::SetCustomEndCap(const GraphicsObjectBase& cap) {
    if (!handle)
        return RecordStatus(Gdiplus::InvalidParameter);
    return RecordStatus(GdipSetPenCustomEndCap(handle, NativeOf<GpCustomLineCap>(cap)));
}

bool PenObject::GetCustomEndCap(GraphicsObjectBase& target) const {
    GpCustomLineCap* cap = nullptr;
    if (!RecordStatus(GdipGetPenCustomEndCap(handle, &cap)))
        return false;
    target.SetNativeHandle(cap);
    return true;
}

bool PenObject::SetMiterLimit(float miterLimit) {
    return RecordStatus(GdipSetPenMiterLimit(handle, miterLimit));
}

float PenObject::GetMiterLimit() const {
    float limit = 0.0f;
    RecordStatus(GdipGetPenMiterLimit(handle, &limit));
    return limit;
}

bool PenObject::SetAlignment(int alignment) {
    return RecordStatus(GdipSetPenMode(handle, static_cast<Gdiplus::PenAlignment>(alignment)));
}

int PenObject::GetAlignment() const {
    Gdiplus::PenAlignment alignment = Gdiplus::PenAlignmentCenter;
    RecordStatus(GdipGetPenMode(handle, &alignment));
    return alignment;
}

bool PenObject::SetTransform(GpMatrix* matrix) {
    return RecordStatus(GdipSetPenTransform(handle, matrix));
}

bool PenObject::GetTransform(GpMatrix* matrix) const {
    return RecordStatus(GdipGetPenTransform(handle, matrix));
}

bool PenObject::ResetTransform() {
    return RecordStatus(GdipResetPenTransform(handle));
}

bool PenObject::MultiplyTransform(GpMatrix* matrix, int order) {
    return RecordStatus(GdipMultiplyPenTransform(handle, matrix, Order(order)));
}

bool PenObject::RotateTransform(float angle, int order) {
    return RecordStatus(GdipRotatePenTransform(handle, angle, Order(order)));
}

bool PenObject::RotateTransformAt(float angle, const Gdiplus::PointF& centre, int order) {
    return TransformAt(handle, centre, order,
                       [&] { return GdipRotatePenTransform(handle, angle, Order(order)); });
}

bool PenObject::ScaleTransform(float sx, float sy, int order) {
    return RecordStatus(GdipScalePenTransform(handle, sx, sy, Order(order)));
}

bool PenObject::ScaleTransformAt(float sx, float sy, const Gdiplus::PointF& centre, int order) {
    return TransformAt(handle, centre, order,
                       [&] { return GdipScalePenTransform(handle, sx, sy, Order(order)); });
}

bool PenObject::TranslateTransform(float dx, float dy, int order) {
    return RecordStatus(GdipTranslatePenTransform(handle, dx, dy, Order(order)));
}

std::uint32_t PenObject::GetColor() const {
    Gdiplus::ARGB argb = 0;
    RecordStatus(GdipGetPenColor(handle, &argb));
    return argb;
}

bool PenObject::SetColor(std::uint32_t argb) {
    return RecordStatus(GdipSetPenColor(handle, argb));
}

bool PenObject::SetBrush(const BrushObject& brush) {
    return RecordStatus(GdipSetPenBrushFill(handle, NativeOf<GpBrush>(brush)));
}

bool PenObject::GetBrush(BrushObject& target) const {
    GpBrush* brush = nullptr;
    if (!RecordStatus(GdipGetPenBrushFill(handle, &brush)))
        return false;
    target.Delete();
    target.SetNativeHandle(brush);
    return true;
}

int PenObject::GetFillType() const {
    Gdiplus::PenType type = Gdiplus::PenTypeSolidColor;
    RecordStatus(GdipGetPenFillType(handle, &type));
    return type;
}

bool PenObject::SetDashStyle(int dashStyle) {
    return RecordStatus(GdipSetPenDashStyle(handle, static_cast<Gdiplus::DashStyle>(dashStyle)));
}

int PenObject::GetDashStyle() const {
    Gdiplus::DashStyle style = Gdiplus::DashStyleSolid;
    RecordStatus(GdipGetPenDashStyle(handle, &style));
    return style;
}

float PenObject::GetDashOffset() const {
    float offset = 0.0f;
    RecordStatus(GdipGetPenDashOffset(handle, &offset));
    return offset;
}

bool PenObject::SetDashOffset(float offset) {
    return RecordStatus(GdipSetPenDashOffset(handle, offset));
}

int PenObject::GetDashPattern(std::vector<float>& dashes) const {
    return ReadFloatArray(handle, dashes, GdipGetPenDashCount, GdipGetPenDashArray);
}

bool PenObject::SetDashPattern(std::span<const float> dashes) {
    const int count = static_cast<int>(dashes.size());
    if (!RequirePositiveCount(count))
        return false;
    return RecordStatus(GdipSetPenDashArray(handle, dashes.data(), count));
}

bool PenObject::SetCompoundArray(std::span<const float> compounds) {
    const int count = static_cast<int>(compounds.size());
    if (!RequirePositiveCount(count))
        return false;
    return RecordStatus(GdipSetPenCompoundArray(handle, compounds.data(), count));
}

int PenObject::GetCompoundArray(std::vector<float>& compounds) const {
    return ReadFloatArray(handle, compounds, GdipGetPenCompoundCount, GdipGetPenCompoundArray);
}

#include "graphics/RegionObject.h"

#include <algorithm>

using namespace Gdiplus;

namespace {

GpPath* PathOf(const GraphicsObjectBase& path) {
    return static_cast<GpPath*>(path.GetNativeHandle());
}

GpGraphics* GraphicsOf(const GraphicsObjectBase& graphics) {
    return static_cast<GpGraphics*>(graphics.GetNativeHandle());
}

CombineMode ModeOf(int combineMode) {
    return static_cast<CombineMode>(combineMode);
}

} // namespace

bool RegionObject::Delete() {
    return ReleaseWith(handle, GdipDeleteRegion);
}

bool RegionObject::Create() {
    return Recreate(
        handle, [this] { Delete(); }, [](GpRegion** created) { return GdipCreateRegion(created); });
}

bool RegionObject::CreateFromRect(const RectF& rect) {
    return Recreate(
        handle, [this] { Delete(); },
        [&](GpRegion** created) { return GdipCreateRegionRect(&rect, created); });
}

bool RegionObject::CreateFromRectI(const Rect& rect) {
    return Recreate(
        handle, [this] { Delete(); },
        [&](GpRegion** created) { return GdipCreateRegionRectI(&rect, created); });
}

bool RegionObject::CreateFromPath(const GraphicsObjectBase& path) {
    return Recreate(
        handle, [this] { Delete(); },
        [&](GpRegion** created) { return GdipCreateRegionPath(PathOf(path), created); });
}

bool RegionObject::CreateFromHrgn(HRGN region) {
    return Recreate(
        handle, [this] { Delete(); },
        [&](GpRegion** created) { return GdipCreateRegionHrgn(region, created); });
}

bool RegionObject::CreateFromData(std::span<const std::uint8_t> data, int size) {
    const INT readable = std::min<INT>(size, static_cast<INT>(data.size()));
    return Recreate(
        handle, [this] { Delete(); },
        [&](GpRegion** created) {
            return GdipCreateRegionRgnData(data.empty() ? nullptr : data.data(), readable, created);
        });
}

bool RegionObject::Clone(RegionObject& target) const {
    GpRegion* created = nullptr;
    const GpStatus status = GdipCloneRegion(handle, &created);
    // Released after cloning, so that cloning into itself still works.
    target.Delete();
    RecordStatus(status);
    target.SetNativeHandle(created);
    return LastStatus == 0;
}

bool RegionObject::MakeInfinite() {
    return RecordStatus(GdipSetInfinite(handle));
}

bool RegionObject::MakeEmpty() {
    return RecordStatus(GdipSetEmpty(handle));
}

bool RegionObject::CombineRect(const RectF& rect, int combineMode) {
    return RecordStatus(GdipCombineRegionRect(handle, &rect, ModeOf(combineMode)));
}

bool RegionObject::CombineRectI(const Rect& rect, int combineMode) {
    return RecordStatus(GdipCombineRegionRectI(handle, &rect, ModeOf(combineMode)));
}

bool RegionObject::CombineRegion(const RegionObject& region, int combineMode) {
    return RecordStatus(GdipCombineRegionRegion(handle, static_cast<GpRegion*>(region.GetNativeHandle()),
                                                ModeOf(combineMode)));
}

bool RegionObject::CombinePath(const GraphicsObjectBase& path, int combineMode) {
    return RecordStatus(GdipCombineRegionPath(handle, PathOf(path), ModeOf(combineMode)));
}

bool RegionObject::Translate(float dx, float dy) {
    return RecordStatus(GdipTranslateRegion(handle, dx, dy));
}

bool RegionObject::TranslateI(int dx, int dy) {
    return RecordStatus(GdipTranslateRegionI(handle, dx, dy));
}

bool RegionObject::Transform(GpMatrix* matrix) {
    return RecordStatus(GdipTransformRegion(handle, matrix));
}

RectF RegionObject::GetBounds(const GraphicsObjectBase& graphics) const {
    RectF bounds;
    RecordStatus(GdipGetRegionBounds(handle, GraphicsOf(graphics), &bounds));
    return bounds;
}

Rect RegionObject::GetBoundsI(const GraphicsObjectBase& graphics) const {
    Rect bounds;
    RecordStatus(GdipGetRegionBoundsI(handle, GraphicsOf(graphics), &bounds));
    return bounds;
}

std::uint32_t RegionObject::GetDataSize() const {
    UINT size = 0;
    RecordStatus(GdipGetRegionDataSize(handle, &size));
    return size;
}

ByteArray RegionObject::GetData(std::uint32_t bufferSize, std::uint32_t& filledSize) const {
    ByteArray data(bufferSize);
    UINT filled = 0;
    RecordStatus(GdipGetRegionData(handle, data.empty() ? nullptr : data.data(), bufferSize, &filled));
    filledSize = filled;
    return data;
}

HRGN RegionObject::GetHrgn(const GraphicsObjectBase& graphics) const {
    HRGN region = nullptr;
    RecordStatus(GdipGetRegionHRgn(handle, GraphicsOf(graphics), &region));
    return region;
}

bool RegionObject::IsEmpty(const GraphicsObjectBase& graphics) const {
    BOOL result = FALSE;
    RecordStatus(GdipIsEmptyRegion(handle, GraphicsOf(graphics), &result));
    return result != FALSE;
}

bool RegionObject::IsInfinite(const GraphicsObjectBase& graphics) const {
    BOOL result = FALSE;
    RecordStatus(GdipIsInfiniteRegion(handle, GraphicsOf(graphics), &result));
    return result != FALSE;
}

bool RegionObject::Equals(const RegionObject& region, const GraphicsObjectBase& graphics) const {
    BOOL result = FALSE;
    RecordStatus(GdipIsEqualRegion(handle, static_cast<GpRegion*>(region.GetNativeHandle()),
                                   GraphicsOf(graphics), &result));
    return result != FALSE;
}

bool RegionObject::IsVisiblePoint(float x, float y, const GraphicsObjectBase& graphics) const {
    BOOL result = FALSE;
    RecordStatus(GdipIsVisibleRegionPoint(handle, x, y, GraphicsOf(graphics), &result));
    return result != FALSE;
}

bool RegionObject::IsVisiblePointI(int x, int y, const GraphicsObjectBase& graphics) const {
    BOOL result = FALSE;
    RecordStatus(GdipIsVisibleRegionPointI(handle, x, y, GraphicsOf(graphics), &result));
    return result != FALSE;
}

bool RegionObject::IsVisibleRect(float x, float y, float width, float height,
                                 const GraphicsObjectBase& graphics) const {
    BOOL result = FALSE;
    RecordStatus(GdipIsVisibleRegionRect(handle, x, y, width, height, GraphicsOf(graphics), &result));
    return result != FALSE;
}

bool RegionObject::IsVisibleRectI(int x, int y, int width, int height,
                                  const GraphicsObjectBase& graphics) const {
    BOOL result = FALSE;
    RecordStatus(GdipIsVisibleRegionRectI(handle, x, y, width, height, GraphicsOf(graphics), &result));
    return result != FALSE;
}

std::uint32_t RegionObject::GetScansCount(GpMatrix* matrix) const {
    UINT count = 0;
    RecordStatus(GdipGetRegionScansCount(handle, &count, matrix));
    return count;
}

std::uint32_t RegionObject::GetScans(GpMatrix* matrix, std::vector<RectF>& scans) const {
    UINT count = 0;
    if (!RecordStatus(GdipGetRegionScansCount(handle, &count, matrix)))
        return 0;
    scans.assign(count, RectF());
    if (count == 0)
        return 0; // nothing to list; GDI+ refuses an empty list
    INT filled = static_cast<INT>(count);
    RecordStatus(GdipGetRegionScans(handle, scans.data(), &filled, matrix));
    return static_cast<std::uint32_t>(std::max<INT>(filled, 0));
}

std::uint32_t RegionObject::GetScansI(GpMatrix* matrix, std::vector<Rect>& scans) const {
    UINT count = 0;
    if (!RecordStatus(GdipGetRegionScansCount(handle, &count, matrix)))
        return 0;
    scans.assign(count, Rect());
    if (count == 0)
        return 0; // nothing to list; GDI+ refuses an empty list
    INT filled = static_cast<INT>(count);
    RecordStatus(GdipGetRegionScansI(handle, scans.data(), &filled, matrix));
    return static_cast<std::uint32_t>(std::max<INT>(filled, 0));
}

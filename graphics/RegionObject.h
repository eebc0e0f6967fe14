#pragma once
// GDI+ regions (GpRegion): the graphics context answers character-range
// regions in them.
//
// Conventions: combine operations take the combine mode last, Intersect (1)
// when omitted. Paths and graphics contexts arrive as any wrapper whose
// native handle is of that kind. Visibility tests and GetHrgn accept an
// empty graphics wrapper (world coordinates); bounds, emptiness and equality
// need a real context, or GDI+ answers InvalidParameter. A matrix is a raw
// GpMatrix handle, or null.
#include "graphics/GraphicsObjectBase.h"
#include "graphics/MemoryStreamObject.h"

#include <cstdint>
#include <span>
#include <vector>

inline constexpr int DefaultCombineMode = 1; // CombineModeIntersect

class RegionObject : public SingleLevelObject<Gdiplus::GpRegion> {
public:
    RegionObject() = default;
    ~RegionObject() override { Delete(); }

    bool Delete();
    // The infinite region.
    bool Create();
    bool CreateFromRect(const Gdiplus::RectF& rect);
    bool CreateFromRectI(const Gdiplus::Rect& rect);
    bool CreateFromPath(const GraphicsObjectBase& path);
    // The GDI region stays the caller's.
    bool CreateFromHrgn(HRGN region);
    // Region data as GetData produced it; never reads past the bytes given.
    bool CreateFromData(std::span<const std::uint8_t> data, int size);
    // The target receives a copy; what it held before is released.
    bool Clone(RegionObject& target) const;
    bool MakeInfinite();
    bool MakeEmpty();
    bool CombineRect(const Gdiplus::RectF& rect, int combineMode = DefaultCombineMode);
    bool CombineRectI(const Gdiplus::Rect& rect, int combineMode = DefaultCombineMode);
    bool CombineRegion(const RegionObject& region, int combineMode = DefaultCombineMode);
    bool CombinePath(const GraphicsObjectBase& path, int combineMode = DefaultCombineMode);
    bool Translate(float dx, float dy);
    bool TranslateI(int dx, int dy);
    bool Transform(Gdiplus::GpMatrix* matrix);
    Gdiplus::RectF GetBounds(const GraphicsObjectBase& graphics) const;
    Gdiplus::Rect GetBoundsI(const GraphicsObjectBase& graphics) const;
    std::uint32_t GetDataSize() const;
    // A buffer of bufferSize bytes; filledSize receives how many GDI+ wrote.
    ByteArray GetData(std::uint32_t bufferSize, std::uint32_t& filledSize) const;
    // A new GDI region the caller must delete (DeleteObject); null on failure.
    HRGN GetHrgn(const GraphicsObjectBase& graphics) const;
    bool IsEmpty(const GraphicsObjectBase& graphics) const;
    bool IsInfinite(const GraphicsObjectBase& graphics) const;
    bool Equals(const RegionObject& region, const GraphicsObjectBase& graphics) const;
    bool IsVisiblePoint(float x, float y, const GraphicsObjectBase& graphics) const;
    bool IsVisiblePointI(int x, int y, const GraphicsObjectBase& graphics) const;
    bool IsVisibleRect(float x, float y, float width, float height, const GraphicsObjectBase& graphics) const;
    bool IsVisibleRectI(int x, int y, int width, int height, const GraphicsObjectBase& graphics) const;
    std::uint32_t GetScansCount(Gdiplus::GpMatrix* matrix) const;
    std::uint32_t GetScans(Gdiplus::GpMatrix* matrix, std::vector<Gdiplus::RectF>& scans) const;
    std::uint32_t GetScansI(Gdiplus::GpMatrix* matrix, std::vector<Gdiplus::Rect>& scans) const;
};

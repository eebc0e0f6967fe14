#pragma once
// Arrays crossing into and out of GDI+.
//
// The application's point, size and rectangle records are the GDI+ records
// themselves (Gdiplus::PointF, Point, RectF, Rect), laid out exactly as the
// flat functions read them. An input array therefore reaches GDI+ as one
// contiguous block straight from the caller's storage, and whatever GDI+
// writes into it (TransformPoints) is in the caller's records afterwards:
// no temporary block, no copy in or out.
#include "graphics/GdiPlusFlat.h"
#include "graphics/LastStatus.h"

#include <span>
#include <vector>

static_assert(sizeof(Gdiplus::PointF) == 8 && sizeof(Gdiplus::Point) == 8);
static_assert(sizeof(Gdiplus::RectF) == 16 && sizeof(Gdiplus::Rect) == 16);

// Element count of an input array as the flat functions take it.
template <class Record> INT CountOf(std::span<Record> records) {
    return static_cast<INT>(records.size());
}

// Output arrays: ask for the count, resize the caller's array to exactly that
// many fresh zeroed elements (old ones go), then let GDI+ write into their
// storage. A failed count query answers 0 at once and leaves the array as it
// was. Answers the count once GDI+ has filled the elements, else 0.
//   queryCount(INT* count) -> GpStatus;  read(Element* data, INT count) -> GpStatus
template <class Element, class CountQuery, class Read>
INT ReadArray(std::vector<Element>& elements, CountQuery queryCount, Read read) {
    INT count = 0;
    if (!RecordStatus(queryCount(&count)))
        return 0;
    std::vector<Element> fresh(count > 0 ? static_cast<std::size_t>(count) : 0);
    elements.swap(fresh);
    if (count <= 0)
        return 0;
    return RecordStatus(read(elements.data(), count)) ? count : 0;
}

#include "clock/TextFigures.h"

#include "graphics/PathObject.h"
#include "graphics/PenObject.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

constexpr BYTE StartType = Gdiplus::PathPointTypeStart;
constexpr BYTE TypeMask = Gdiplus::PathPointTypePathTypeMask;
// Where no bounds can be had, the figure may reach anywhere on the layer.
constexpr RECT Anywhere{-(1 << 24), -(1 << 24), 1 << 24, 1 << 24};

// The pixels ink within the bounds can touch. Renderers differ in where they
// sample a pixel: at its centre (pixel i covers x from i to i + 1) or at its
// top left corner (from i - 1/2 to i + 1/2). Either way the first pixel is
// at or after floor(x), and the last at or before floor(right + 1/2).
RECT PixelsAround(const Gdiplus::RectF& bounds) {
    const auto first = [](float from) { return static_cast<LONG>(std::floor(from)); };
    const auto pastLast = [](float to) { return static_cast<LONG>(std::floor(to + 0.5f)) + 1; };
    return {first(bounds.X), first(bounds.Y), pastLast(bounds.X + bounds.Width),
            pastLast(bounds.Y + bounds.Height)};
}

RECT ReachOf(const TextFigure& figure, const PenObject* pen) {
    PathObject path;
    if (!path.CreateFromPoints(figure.points, figure.types, Gdiplus::FillModeWinding))
        return Anywhere;
    // Widened and flattened paths are made of lines: their bounds are those
    // of the ink, where a curve's control points may lie well outside it.
    const bool shaped = pen ? path.Widen(*pen) : path.Flatten();
    Gdiplus::RectF bounds{};
    if (!shaped || !path.GetBounds(bounds, nullptr, PenObject()))
        return Anywhere;
    return PixelsAround(bounds);
}

} // namespace

namespace {

bool SameShape(std::span<const Gdiplus::PointF> points, std::span<const BYTE> types,
               std::span<const Gdiplus::PointF> otherPoints, std::span<const BYTE> otherTypes) {
    return points.size() == otherPoints.size() && std::ranges::equal(types, otherTypes) &&
           std::memcmp(points.data(), otherPoints.data(), points.size() * sizeof(Gdiplus::PointF)) == 0;
}

} // namespace

bool TextFigure::SameShape(const TextFigure& other) const {
    return ::SameShape(points, types, other.points, other.types);
}

bool TextFigure::Reaches(const RECT& rect) const {
    RECT common{};
    return IntersectRect(&common, &reach, &rect) != FALSE;
}

std::vector<TextFigure> SplitFigures(const PathObject& path) {
    std::vector<TextFigure> figures;
    PathDataRecord data;
    if (!path.GetPathData(data))
        return figures;
    for (std::size_t i = 0; i < data.points.size(); ++i) {
        if ((data.types[i] & TypeMask) == StartType || figures.empty())
            figures.emplace_back();
        figures.back().points.push_back(data.points[i]);
        figures.back().types.push_back(data.types[i]);
    }
    return figures;
}

void MeasureReach(std::span<TextFigure> figures, const PenObject* pen) {
    for (TextFigure& figure : figures)
        figure.reach = ReachOf(figure, pen);
}

RECT ChangedCells(std::span<const TextFigure> before, std::span<TextFigure> after, const PenObject* pen) {
    std::vector<bool> matched(before.size(), false);
    RECT changed{};
    for (TextFigure& figure : after) {
        std::size_t i = 0;
        while (i < before.size() && (matched[i] || !before[i].SameShape(figure)))
            ++i;
        if (i < before.size()) {
            matched[i] = true;
            figure.reach = before[i].reach;
        } else {
            if (IsRectEmpty(&figure.reach))
                figure.reach = ReachOf(figure, pen);
            UnionRect(&changed, &changed, &figure.reach);
        }
    }
    for (std::size_t i = 0; i < before.size(); ++i) {
        if (!matched[i])
            UnionRect(&changed, &changed, &before[i].reach);
    }
    return changed;
}

namespace {

// Room for twice what is needed, so that sets a little larger than the
// first ones fit without another allocation.
template <class T> void MakeRoom(std::vector<T>& block, std::size_t more) {
    if (block.capacity() < block.size() + more)
        block.reserve(2 * (block.size() + more));
}

} // namespace

void FigureStore::Clear() {
    points.clear();
    types.clear();
    reaches.clear();
    figureEnds.clear();
    setEnds.clear();
}

void FigureStore::Add(std::span<const TextFigure> figures) {
    std::size_t pointCount = 0;
    for (const TextFigure& figure : figures)
        pointCount += figure.points.size();
    MakeRoom(points, pointCount);
    MakeRoom(types, pointCount);
    MakeRoom(reaches, figures.size());
    MakeRoom(figureEnds, figures.size());
    MakeRoom(setEnds, 1);
    for (const TextFigure& figure : figures) {
        points.insert(points.end(), figure.points.begin(), figure.points.end());
        types.insert(types.end(), figure.types.begin(), figure.types.end());
        reaches.push_back(figure.reach);
        figureEnds.push_back(points.size());
    }
    setEnds.push_back(figureEnds.size());
}

std::vector<TextFigure> FigureStore::Get(std::size_t set) const {
    std::vector<TextFigure> figures;
    if (set >= setEnds.size())
        return figures;
    for (std::size_t i = FirstFigure(set); i < setEnds[set]; ++i) {
        const std::span<const Gdiplus::PointF> figurePoints = PointsOf(i);
        const std::span<const BYTE> figureTypes = TypesOf(i);
        figures.push_back({{figurePoints.begin(), figurePoints.end()},
                           {figureTypes.begin(), figureTypes.end()},
                           reaches[i]});
    }
    return figures;
}

bool FigureStore::Holds(std::size_t set, std::span<const TextFigure> figures) const {
    if (set >= setEnds.size() || setEnds[set] - FirstFigure(set) != figures.size())
        return false;
    for (std::size_t i = 0; i < figures.size(); ++i) {
        const std::size_t at = FirstFigure(set) + i;
        if (!SameShape(PointsOf(at), TypesOf(at), figures[i].points, figures[i].types))
            return false;
    }
    return true;
}

std::size_t FigureStore::FirstFigure(std::size_t set) const {
    return set == 0 ? 0 : setEnds[set - 1];
}

std::span<const Gdiplus::PointF> FigureStore::PointsOf(std::size_t figure) const {
    const std::size_t from = figure == 0 ? 0 : figureEnds[figure - 1];
    return std::span(points).subspan(from, figureEnds[figure] - from);
}

std::span<const BYTE> FigureStore::TypesOf(std::size_t figure) const {
    const std::size_t from = figure == 0 ? 0 : figureEnds[figure - 1];
    return std::span(types).subspan(from, figureEnds[figure] - from);
}

bool PathOfFigures(PathObject& path, std::span<const TextFigure> figures, int fillMode, const RECT* within) {
    return PathOfFigures(path, {figures}, fillMode, within);
}

bool PathOfFigures(PathObject& path, std::initializer_list<std::span<const TextFigure>> sets, int fillMode,
                   const RECT* within) {
    std::vector<Gdiplus::PointF> points;
    std::vector<BYTE> types;
    for (const std::span<const TextFigure> figures : sets) {
        for (const TextFigure& figure : figures) {
            if (within && !figure.Reaches(*within))
                continue;
            points.insert(points.end(), figure.points.begin(), figure.points.end());
            types.insert(types.end(), figure.types.begin(), figure.types.end());
        }
    }
    return !points.empty() && path.CreateFromPoints(points, types, fillMode);
}

#pragma once
// The time text's path taken apart into its figures, the closed contours
// its glyphs are made of, so that a tick redraws only where they changed.
// A closed contour fills nothing outside its own bounds and its outline
// reaches no further than the outline drawn around it: pixels outside every
// changed figure's reach stay as they are, even under the nonzero rule.
#include "graphics/GdiPlusFlat.h"

#include <windows.h>

#include <initializer_list>
#include <span>
#include <vector>

class PathObject;
class PenObject;

struct TextFigure {
    std::vector<Gdiplus::PointF> points;
    std::vector<BYTE> types;
    // The layer pixels its fill and outline can touch.
    RECT reach{};

    bool SameShape(const TextFigure& other) const;
    // Whether drawing it may touch a pixel of the rectangle.
    bool Reaches(const RECT& rect) const;
};

// The path's figures in order, with no reach yet; none from an empty path.
std::vector<TextFigure> SplitFigures(const PathObject& path);

// Sets the reach of each figure: the bounds of the figure as the pen widens
// it, or of the flattened figure without a pen.
void MeasureReach(std::span<TextFigure> figures, const PenObject* pen);

// The rectangle around every figure that one set has and the other has not,
// figures matched shape for shape; empty when both hold the same shapes.
// Figures of after that match one of before take its reach; the others are
// measured with the pen unless they have a reach already.
RECT ChangedCells(std::span<const TextFigure> before, std::span<TextFigure> after, const PenObject* pen);

// Sets of figures with their reach, kept in a few blocks that are reused:
// once the blocks have grown to the largest sets kept, clearing and adding
// sets again allocates nothing, so what the store holds does not move the
// heap from one frame to the next.
class FigureStore {
public:
    void Clear();
    void Add(std::span<const TextFigure> figures);
    std::vector<TextFigure> Get(std::size_t set) const;
    // Whether the set holds figures of the same shapes, in the same order.
    bool Holds(std::size_t set, std::span<const TextFigure> figures) const;

private:
    std::size_t FirstFigure(std::size_t set) const;
    std::span<const Gdiplus::PointF> PointsOf(std::size_t figure) const;
    std::span<const BYTE> TypesOf(std::size_t figure) const;

    std::vector<Gdiplus::PointF> points;
    std::vector<BYTE> types;
    std::vector<RECT> reaches;
    std::vector<std::size_t> figureEnds; // in points, one per figure
    std::vector<std::size_t> setEnds;    // in figures, one per set
};

// A path of the figures in their order, or of those whose reach meets the
// rectangle within. False when there are none.
bool PathOfFigures(PathObject& path, std::span<const TextFigure> figures, int fillMode,
                   const RECT* within = nullptr);
// The same of several sets of figures, one after the other.
bool PathOfFigures(PathObject& path, std::initializer_list<std::span<const TextFigure>> sets, int fillMode,
                   const RECT* within = nullptr);

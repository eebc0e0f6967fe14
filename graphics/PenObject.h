#pragma once
// PenObject: a GDI+ pen (GpPen), the clock's outline stroke.
//
// Custom caps and the pen's brush come back from GDI+ as new native objects
// that the caller owns; the getters hand them to a target wrapper.
#include "graphics/GraphicsObjectBase.h"

#include <cstdint>
#include <span>
#include <vector>

class BrushObject;

class PenObject : public SingleLevelObject<Gdiplus::GpPen> {
public:
    using GpMatrix = Gdiplus::GpMatrix;

    PenObject() = default;
    ~PenObject() override { Delete(); }

    bool Delete();
    bool Create(std::uint32_t argb, float width, int unit = Gdiplus::UnitWorld);
    bool CreateFromBrush(const BrushObject& brush, float width, int unit);
    // Clones this pen into target; target's previous pen is released.
    bool Clone(PenObject& target) const;

    float GetWidth() const;
    bool SetWidth(float width);
    int GetUnit() const;
    bool SetUnit(int unit);

    bool SetLineCap(int startCap, int endCap, int dashCap);
    bool SetLineCap2(int startCap, int endCap, int dashCap) { return SetLineCap(startCap, endCap, dashCap); }
    bool SetStartCap(int startCap);
    bool SetEndCap(int endCap);
    bool SetDashCap(int dashCap);
    int GetStartCap() const;
    int GetEndCap() const;
    int GetDashCap() const;
    int GetDashCap2() const { return GetDashCap(); }
    bool SetLineJoin(int lineJoin);
    int GetLineJoin() const;

    // cap holds a GpCustomLineCap; the getters give target a new cap (or 0
    // when the pen has none) that target then owns.
    bool SetCustomStartCap(const GraphicsObjectBase& cap);
    bool GetCustomStartCap(GraphicsObjectBase& target) const;
    bool SetCustomEndCap(const GraphicsObjectBase& cap);
    bool GetCustomEndCap(GraphicsObjectBase& target) const;

    bool SetMiterLimit(float miterLimit);
    float GetMiterLimit() const;
    bool SetAlignment(int alignment);
    int GetAlignment() const;

    bool SetTransform(GpMatrix* matrix);
    // Writes the pen's transform into matrix, which the caller made.
    bool GetTransform(GpMatrix* matrix) const;
    bool ResetTransform();
    bool MultiplyTransform(GpMatrix* matrix, int order);
    bool RotateTransform(float angle, int order);
    // Rotation (or scaling) about centre, after the pen's transform (Append:
    // -centre, turn, +centre, each appended) or before it (Prepend: +centre,
    // turn, -centre, each prepended, which builds the same wrap from the far
    // end). The first failed call stops it and is reported.
    bool RotateTransformAt(float angle, const Gdiplus::PointF& centre, int order);
    bool ScaleTransform(float sx, float sy, int order);
    bool ScaleTransformAt(float sx, float sy, const Gdiplus::PointF& centre, int order);
    bool TranslateTransform(float dx, float dy, int order);

    std::uint32_t GetColor() const;
    bool SetColor(std::uint32_t argb);
    bool SetBrush(const BrushObject& brush);
    // Gives target a copy of the pen's brush; target's previous brush is released.
    bool GetBrush(BrushObject& target) const;
    int GetFillType() const;

    bool SetDashStyle(int dashStyle);
    int GetDashStyle() const;
    float GetDashOffset() const;
    bool SetDashOffset(float offset);
    // Answers the element count (0 when the count query fails).
    int GetDashPattern(std::vector<float>& dashes) const;
    bool SetDashPattern(std::span<const float> dashes);
    bool SetCompoundArray(std::span<const float> compounds);
    int GetCompoundArray(std::vector<float>& compounds) const;
};

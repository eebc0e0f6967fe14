#pragma once
// BrushObject: a GDI+ brush with two levels, the GpBrush and its solid-fill
// view. Both fields always hold the same native object; the solid-fill
// operations use the second.
#include "graphics/GraphicsObjectBase.h"

#include <cstdint>

class BrushObject : public GraphicsObjectBase {
public:
    using GpBrush = Gdiplus::GpBrush;
    using GpSolidFill = Gdiplus::GpSolidFill;

    BrushObject() = default;
    // One release covers both levels: they are one native object.
    ~BrushObject() override { Delete(); }

    GpBrush* Handle() const { return handle; }
    GpSolidFill* SolidHandle() const { return solidHandle; }

    bool Delete();
    // Clones this brush into target; target's previous brush is released.
    bool Clone(BrushObject& target) const;
    int GetType() const;
    bool IsValid() const { return handle != nullptr; }

    bool CreateSolid(std::uint32_t argb);
    bool SetColor(std::uint32_t argb);
    std::uint32_t GetColor() const;

protected:
    void StoreHandle(NativeHandle nativeHandle) override {
        handle = static_cast<GpBrush*>(nativeHandle);
        StoreLevel2Handle(nativeHandle);
    }
    void StoreLevel2Handle(NativeHandle nativeHandle) override {
        solidHandle = static_cast<GpSolidFill*>(nativeHandle);
    }

private:
    GpBrush* handle = nullptr;
    GpSolidFill* solidHandle = nullptr;
};

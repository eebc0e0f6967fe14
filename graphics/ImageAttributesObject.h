#pragma once
// Colour adjustments applied when an image is drawn (GpImageAttributes).
//
// Conventions: every Set operation enables its adjustment, every Clear
// operation disables it with zero values; the colour-adjust type comes last
// and defaults to ColorAdjustTypeDefault (0). An empty wrapper is a valid
// "no attributes" argument for drawing.
#include "graphics/GraphicsObjectBase.h"

#include <array>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

using ArgbValue = std::uint32_t;

// One entry of a remap table: draw oldColor as newColor.
struct ColorMapRecord {
    ArgbValue oldColor = 0;
    ArgbValue newColor = 0;
};

// A 5 x 5 colour matrix, row by row.
using ColorMatrixValues = std::array<float, 25>;

// Supplies a colour matrix on request (for callers that keep their matrices
// in objects of their own).
class ColorMatrixSource {
public:
    virtual ~ColorMatrixSource() = default;
    virtual void WriteValues(std::span<float, 25> values) const = 0;
};

// A palette: flags and ARGB entries (the count is the entries' size).
struct PaletteRecord {
    std::uint32_t flags = 0;
    std::vector<ArgbValue> entries;
};

class ImageAttributesObject : public SingleLevelObject<Gdiplus::GpImageAttributes> {
public:
    ImageAttributesObject() = default;
    ~ImageAttributesObject() override { Dispose(); }

    bool Dispose();
    bool Create();
    // The target receives a copy; what it held before is released.
    bool Clone(ImageAttributesObject& target) const;
    bool SetToIdentity(int type = 0);
    bool Reset(int type = 0);
    bool SetThreshold(float threshold, int type = 0);
    bool ClearThreshold(int type = 0);
    bool SetNoOp(int type = 0);
    bool ClearNoOp(int type = 0);
    bool SetGamma(float gamma, int type = 0);
    bool ClearGamma(int type = 0);
    bool SetColorKey(ArgbValue low, ArgbValue high, int type = 0);
    bool ClearColorKey(int type = 0);
    bool SetOutputChannel(int channel, int type = 0);
    bool ClearOutputChannel(int type = 0);
    bool SetOutputChannelColorProfile(std::string_view profileFileName, int type = 0);
    bool ClearOutputChannelColorProfile(int type = 0);
    // Input array: GDI+'s view of the maps is copied back into the records.
    bool SetRemapTable(std::vector<ColorMapRecord>& maps, int type = 0);
    bool ClearRemapTable(int type = 0);
    // Never clamps: the border colour shows outside the image.
    bool SetWrapMode(int wrapMode, ArgbValue borderColor = 0);
    // In and out: the palette's entries are replaced by the adjusted ones.
    bool GetAdjustedPalette(PaletteRecord& palette, int type = 0);
    bool SetColorMatrix(const ColorMatrixValues& colorMatrix, const ColorMatrixValues& grayMatrix,
                        int flags = 0, int type = 0);
    // The grey matrix is read only when one is given.
    bool SetColorMatrixObjects(const ColorMatrixSource& colorMatrix, const ColorMatrixSource* grayMatrix,
                               int flags = 0, int type = 0);
    bool ClearColorMatrix(int type = 0);
};

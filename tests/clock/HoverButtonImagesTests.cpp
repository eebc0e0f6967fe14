// The embedded button images (fifteen for each of three display scales),
// decoded and drawn the way the clock draws them, and the choice among the
// scales.
#include "clock/HoverButtons.h"
#include "graphics/ImageObject.h"
#include "support/CanvasPixels.h"

#include <EmbeddedAssets.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <string>
#include <string_view>

namespace {

struct ImageKind {
    const char* button;
    std::uint32_t width;
    std::uint32_t height;
    bool indexed; // 8-bit palette with transparency, else 8-bit RGBA
};

constexpr ImageKind Kinds[] = {
    {"close", 16, 16, false},       {"settings", 20, 20, false},   {"keep-on-top", 20, 20, false},
    {"smaller-font", 25, 23, true}, {"larger-font", 25, 23, true},
};

constexpr const char* States[] = {"normal", "hover", "pressed"};

// The scales the images are drawn for: file-name suffix and percent.
struct ImageScale {
    const char* suffix;
    std::uint32_t percent;
};
constexpr ImageScale ImageScales[] = {{"", 100}, {"-150", 150}, {"-200", 200}};

std::string Name(const ImageKind& kind, const char* state, const ImageScale& scale = ImageScales[0]) {
    return std::string(kind.button) + "-" + state + scale.suffix + ".png";
}
// A side of the 1x image at a scale, rounded up.
std::uint32_t Side(std::uint32_t side, const ImageScale& scale) {
    return (side * scale.percent + 99) / 100;
}

std::span<const std::uint8_t> Embedded(const std::string& fileName) {
    for (const embedded::EmbeddedAsset& asset : embedded::allAssets)
        if (asset.fileName == fileName)
            return asset.bytes;
    return {};
}

// Sums of one drawn image's premultiplied channels.
struct Ink {
    std::uint64_t alpha = 0;
    std::uint64_t brightness = 0; // red + green + blue
    std::uint8_t maxAlpha = 0;
    std::uint8_t brightestRed = 0, brightestGreen = 0, brightestBlue = 0;
};

// Draws the image with DrawImageBytes at its own size onto a fresh canvas.
Ink DrawAndMeasure(std::span<const std::uint8_t> bytes, int width, int height) {
    GraphicsObject canvas;
    Ink ink;
    if (!canvas.CreateCanvas(width, height))
        return ink;
    DrawImageBytes(canvas, bytes, {0, 0, width, height});
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const Bgra p = DibPixel(canvas.GetBitmap(), x, y);
            ink.alpha += p.a;
            ink.maxAlpha = std::max(ink.maxAlpha, p.a);
            ink.brightness += p.r + p.g + p.b;
            if (p.r + p.g + p.b > ink.brightestRed + ink.brightestGreen + ink.brightestBlue) {
                ink.brightestRed = p.r;
                ink.brightestGreen = p.g;
                ink.brightestBlue = p.b;
            }
        }
    return ink;
}

TEST(ButtonImages, FifteenAreEmbeddedForEachScale) {
    EXPECT_EQ(embedded::allAssets.size(), 45u);
    for (const ImageScale& scale : ImageScales)
        for (const ImageKind& kind : Kinds)
            for (const char* state : States)
                EXPECT_FALSE(Embedded(Name(kind, state, scale)).empty()) << Name(kind, state, scale);
}

std::uint32_t BigEndian(std::span<const std::uint8_t> bytes, std::size_t at) {
    return std::uint32_t{bytes[at]} << 24 | std::uint32_t{bytes[at + 1]} << 16 |
           std::uint32_t{bytes[at + 2]} << 8 | bytes[at + 3];
}

bool HasChunk(std::span<const std::uint8_t> png, std::string_view type) {
    for (std::size_t at = 8; at + 8 <= png.size(); at += 12 + BigEndian(png, at))
        if (std::string_view(reinterpret_cast<const char*>(&png[at + 4]), 4) == type)
            return true;
    return false;
}

TEST(ButtonImages, EachIsAnEightBitPngOfItsKind) {
    constexpr std::uint8_t Palette = 3, Rgba = 6;
    for (const ImageScale& scale : ImageScales)
        for (const ImageKind& kind : Kinds)
            for (const char* state : States) {
                const std::string name = Name(kind, state, scale);
                const std::span<const std::uint8_t> png = Embedded(name);
                ASSERT_GT(png.size(), 33u) << name;
                // IHDR comes first: width, height, bit depth, colour type.
                EXPECT_EQ(std::string_view(reinterpret_cast<const char*>(&png[12]), 4), "IHDR") << name;
                EXPECT_EQ(BigEndian(png, 16), Side(kind.width, scale)) << name;
                EXPECT_EQ(BigEndian(png, 20), Side(kind.height, scale)) << name;
                EXPECT_EQ(png[24], 8) << name;
                EXPECT_EQ(png[25], kind.indexed ? Palette : Rgba) << name;
                // A palette image carries its transparency in a tRNS chunk.
                EXPECT_EQ(HasChunk(png, "tRNS"), kind.indexed) << name;
            }
}

TEST(ButtonImages, EachDecodesToItsSize) {
    for (const ImageKind& kind : Kinds)
        for (const char* state : States) {
            const std::string name = Name(kind, state);
            ImageObject image;
            ASSERT_TRUE(image.LoadFromMemory(Embedded(name))) << name << ": status " << LastStatus;
            EXPECT_EQ(image.GetWidth(), kind.width) << name;
            EXPECT_EQ(image.GetHeight(), kind.height) << name;
            EXPECT_EQ(image.GetRawFormat(), PngFormatText) << name;
            const int format = image.GetPixelFormat();
            if (kind.indexed)
                // Windows keeps the palette; Wine's decoder expands a palette
                // with transparency to 32-bit ARGB. Either keeps the alpha.
                EXPECT_TRUE(format == PixelFormat8bppIndexed || format == PixelFormat32bppARGB)
                    << name << ": pixel format " << std::hex << format;
            else
                EXPECT_EQ(format, PixelFormat32bppARGB) << name;
        }
}

TEST(ButtonImages, HoverIsBrightestAndPressedFaintestInWhite) {
    for (const ImageKind& kind : Kinds) {
        std::map<std::string, Ink> inks;
        for (const char* state : States)
            inks[state] = DrawAndMeasure(Embedded(std::string(kind.button) + "-" + state + ".png"),
                                         static_cast<int>(kind.width), static_cast<int>(kind.height));
        EXPECT_GT(inks["pressed"].alpha, 0u) << kind.button;
        EXPECT_GT(inks["normal"].brightness, inks["pressed"].brightness) << kind.button;
        EXPECT_GT(inks["hover"].brightness, inks["normal"].brightness) << kind.button;
        EXPECT_GT(inks["hover"].alpha, inks["normal"].alpha) << kind.button;
        // The glyph is white: its brightest pixel is fully lit and grey.
        const Ink& hover = inks["hover"];
        EXPECT_GE(hover.brightestRed, 250) << kind.button;
        EXPECT_EQ(hover.brightestRed, hover.brightestGreen) << kind.button;
        EXPECT_NEAR(hover.brightestRed, hover.brightestBlue, 2) << kind.button;
        // Opaque at hover, about half-transparent in normal, fainter pressed.
        EXPECT_EQ(hover.maxAlpha, 255) << kind.button;
        EXPECT_NEAR(inks["normal"].maxAlpha, 140, 20) << kind.button;
        EXPECT_LT(inks["pressed"].maxAlpha, inks["normal"].maxAlpha) << kind.button;
    }
}

TEST(DrawImageBytes, ScalesTheWholeImageIntoTheRectangle) {
    // The 25 x 23 font image into 20 x 20 at (10, 10) of a 40 x 40 canvas.
    GraphicsObject canvas;
    ASSERT_TRUE(canvas.CreateCanvas(40, 40));
    DrawImageBytes(canvas, embedded::largerFontHoverPng, {10, 10, 20, 20});
    EXPECT_EQ(LastStatus, 0);
    std::uint64_t inside = 0, outside = 0;
    int insideColumnsLit = 0;
    for (int x = 0; x < 40; ++x) {
        bool columnLit = false;
        for (int y = 0; y < 40; ++y) {
            const std::uint8_t alpha = DibPixel(canvas.GetBitmap(), x, y).a;
            const bool within = x >= 10 && x < 30 && y >= 10 && y < 30;
            (within ? inside : outside) += alpha;
            columnLit = columnLit || (within && alpha > 0);
        }
        insideColumnsLit += columnLit ? 1 : 0;
    }
    EXPECT_EQ(outside, 0u);
    EXPECT_GT(inside, 0u);
    // The plus sign sits at the image's right edge: scaled, it reaches the
    // rectangle's last columns instead of being cut off.
    EXPECT_TRUE(DibPixel(canvas.GetBitmap(), 27, 15).a > 0 || DibPixel(canvas.GetBitmap(), 28, 15).a > 0);
    EXPECT_GE(insideColumnsLit, 16);
}

TEST(DrawImageBytes, BytesThatAreNoImageDrawNothing) {
    GraphicsObject canvas;
    ASSERT_TRUE(canvas.CreateCanvas(20, 20));
    const std::uint8_t garbage[] = {0x89, 'P', 'N', 'G', 1, 2, 3, 4, 5, 6};
    DrawImageBytes(canvas, garbage, {0, 0, 20, 20});
    EXPECT_NE(LastStatus, 0);
    const std::vector<std::uint8_t> bytes = DibBytes(canvas.GetBitmap());
    ASSERT_FALSE(bytes.empty());
    for (std::uint8_t byte : bytes)
        ASSERT_EQ(byte, 0);
}

// A scale gets the images drawn for the smallest scale at or above it, which
// cover the button's scaled bounds: a button is drawn smaller than its
// image, never enlarged. Beyond 2x, the 2x images.
TEST(ButtonImages, EachScaleGetsTheSmallestSetAtOrAboveIt) {
    struct Case {
        int dpi;
        const char* suffix;
    };
    constexpr Case Cases[] = {{96, ""},      {97, "-150"},  {120, "-150"}, {144, "-150"},
                              {168, "-200"}, {192, "-200"}, {288, "-200"}};
    constexpr ButtonId Ids[] = {ButtonId::Close, ButtonId::Settings, ButtonId::KeepOnTop,
                                ButtonId::SmallerFont, ButtonId::LargerFont}; // in the order of Kinds
    for (const Case& c : Cases) {
        const DisplayScale scale{c.dpi};
        const PerButton<IntRect> bounds = ButtonBoundsFor(scale.Pixels(380), scale.Pixels(150), scale);
        for (std::size_t i = 0; i < std::size(Ids); ++i) {
            const ButtonImageSet set = ButtonImagesFor(Ids[i], scale);
            const ImageScale drawnFor{c.suffix, 0};
            const std::string name = Name(Kinds[i], "normal", drawnFor);
            EXPECT_TRUE(std::ranges::equal(set.normal, Embedded(name))) << c.dpi << " DPI: " << name;
            EXPECT_TRUE(std::ranges::equal(set.hover, Embedded(Name(Kinds[i], "hover", drawnFor)))) << name;
            EXPECT_TRUE(std::ranges::equal(set.pressed, Embedded(Name(Kinds[i], "pressed", drawnFor))))
                << name;
            if (c.dpi > 192)
                continue;
            EXPECT_GE(BigEndian(set.normal, 16), static_cast<std::uint32_t>(At(bounds, Ids[i]).width))
                << name;
            EXPECT_GE(BigEndian(set.normal, 20), static_cast<std::uint32_t>(At(bounds, Ids[i]).height))
                << name;
        }
    }
}

} // namespace

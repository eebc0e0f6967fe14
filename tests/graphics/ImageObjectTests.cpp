#include "graphics/ImageObject.h"
#include "graphics/TextMarshalling.h"

#include "ImageTestSupport.h"
#include "support/ImportHook.h"
#include "support/TempDirectory.h"

#include <gtest/gtest.h>

#include <psapi.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

using namespace image_test;

namespace {

constexpr std::string_view BmpFormat = "{B96B3CAB-0728-11D3-9D7B-0000F81EF32E}";
constexpr std::string_view MemoryBmpFormat = "{B96B3CAA-0728-11D3-9D7B-0000F81EF32E}";
constexpr std::string_view JpegFormat = "{B96B3CAE-0728-11D3-9D7B-0000F81EF32E}";
constexpr std::string_view GifFormat = "{B96B3CB0-0728-11D3-9D7B-0000F81EF32E}";
constexpr std::string_view TiffFormat = "{B96B3CB1-0728-11D3-9D7B-0000F81EF32E}";
constexpr std::string_view PageDimension = "{7462DC86-6180-4C7E-8E3F-EE7333A7A483}";
constexpr std::string_view TimeDimension = "{6AEDBD6D-3FB5-418A-83A6-7F45229DC872}";
constexpr std::string_view QualityParameter = "{1D5BE4B5-FA4A-452D-9CDD-5DB35105E7EB}";
constexpr std::uint32_t ImageTitleTag = 0x0320;

class ImageTest : public testing::Test {
protected:
    const ByteArray redPng = MakePng(4, 3, 0xFFFF0000);
    const ByteArray bluePng = MakePng(5, 2, 0xFF0000FF);

    void SetUp() override {
        ASSERT_TRUE(IsPng(redPng));
        ASSERT_TRUE(IsPng(bluePng));
    }
};

// ---- loading and disposing ---------------------------------------------

TEST_F(ImageTest, LoadFromMemoryWithAndWithoutColourManagement) {
    for (const bool icm : {false, true}) {
        SCOPED_TRACE(icm ? "ICM" : "plain");
        ImageObject image;
        ASSERT_TRUE(image.LoadFromMemory(redPng, icm));
        EXPECT_EQ(LastStatus, 0);
        EXPECT_TRUE(image.IsValid());
        EXPECT_EQ(image.GetNativeHandle(), image.Handle());
        EXPECT_EQ(image.Handle(), image.ImageHandle());
        EXPECT_EQ(image.GetWidth(), 4u);
        EXPECT_EQ(image.GetHeight(), 3u);
        // The stream stays open for as long as the image lives.
        EXPECT_NE(image.SourceStream().GetStream(), nullptr);
        EXPECT_EQ(image.SourceStream().ReadAllBytes(), redPng);
    }
}

TEST_F(ImageTest, LoadFromMemoryTwiceDisposesOfTheFirstImageAndStream) {
    ImageObject image;
    ASSERT_TRUE(image.LoadFromMemory(redPng));
    HGLOBAL firstBlock = image.SourceStream().GetBlock();
    ASSERT_NE(firstBlock, nullptr);
    // With one reference of our own, the stream's last Release tells that
    // both the wrapper and the disposed image gave theirs back.
    IStream* firstStream = image.SourceStream().GetStream();
    firstStream->AddRef();

    ASSERT_TRUE(image.LoadFromMemory(bluePng));
    EXPECT_EQ(firstStream->Release(), 0u);
    // The allocator may hand the freed handle straight to the new block.
    EXPECT_TRUE(GlobalBlockFreed(firstBlock) || image.SourceStream().GetBlock() == firstBlock);
    EXPECT_EQ(image.SourceStream().ReadAllBytes(), bluePng);
    EXPECT_EQ(image.GetWidth(), 5u);
    EXPECT_EQ(image.GetHeight(), 2u);
}

TEST_F(ImageTest, DisposeOnEmptyImageAnswersFalseAndCallsNothing) {
    ImageObject image;
    LastStatus = 4321;
    EXPECT_FALSE(image.Dispose());
    EXPECT_EQ(LastStatus, 4321);
}

TEST_F(ImageTest, DisposeReleasesImageAndStream) {
    ImageObject image;
    ASSERT_TRUE(image.LoadFromMemory(redPng));
    HGLOBAL block = image.SourceStream().GetBlock();
    EXPECT_TRUE(image.Dispose());
    EXPECT_EQ(LastStatus, 0);
    EXPECT_FALSE(image.IsValid());
    EXPECT_EQ(image.GetNativeHandle(), nullptr);
    EXPECT_EQ(image.ImageHandle(), nullptr);
    EXPECT_EQ(image.SourceStream().GetStream(), nullptr);
    EXPECT_TRUE(GlobalBlockFreed(block));
    EXPECT_FALSE(image.Dispose());
}

struct BadBytesCase {
    const char* name;
    ByteArray bytes;
};

TEST_F(ImageTest, FailedLoadLeavesWrapperEmptyAndKeepsNoBytes) {
    ByteArray truncated(redPng.begin(), redPng.begin() + 8);
    const BadBytesCase cases[] = {
        {"not a picture", {'h', 'e', 'l', 'l', 'o'}},
        {"PNG signature only", truncated},
        {"no bytes at all", {}},
    };
    for (const BadBytesCase& c : cases) {
        SCOPED_TRACE(c.name);
        ImageObject image;
        ASSERT_TRUE(image.LoadFromMemory(redPng));
        HGLOBAL goodBlock = image.SourceStream().GetBlock();
        LastStatus = 0;
        EXPECT_FALSE(image.LoadFromMemory(c.bytes));
        EXPECT_NE(LastStatus, 0);
        EXPECT_FALSE(image.IsValid());
        EXPECT_EQ(image.GetNativeHandle(), nullptr);
        EXPECT_EQ(image.ImageHandle(), nullptr);
        EXPECT_TRUE(GlobalBlockFreed(goodBlock));
        EXPECT_EQ(image.SourceStream().GetBlock(), nullptr);
        EXPECT_EQ(image.SourceStream().GetStream(), nullptr);
    }
}

TEST_F(ImageTest, DestructionFreesTheStreamOfALoadedImage) {
    HGLOBAL block = nullptr;
    {
        ImageObject image;
        ASSERT_TRUE(image.LoadFromMemory(redPng));
        block = image.SourceStream().GetBlock();
        ASSERT_FALSE(GlobalBlockFreed(block));
    }
    EXPECT_TRUE(GlobalBlockFreed(block));
}

TEST_F(ImageTest, LoadFromFileAnsiAndWideWithAndWithoutColourManagement) {
    TempDirectory directory;
    // A GBK file name: the ANSI path must cross into UTF-16 intact.
    const std::string path = directory.File("按钮图像.png");
    WriteFileBytes(path, std::string(redPng.begin(), redPng.end()));
    const std::wstring widePath = AnsiToWide(path);
    for (const bool icm : {false, true}) {
        SCOPED_TRACE(icm ? "ICM" : "plain");
        ImageObject ansi;
        ASSERT_TRUE(ansi.LoadFromFile(path, icm));
        EXPECT_EQ(ansi.GetWidth(), 4u);
        EXPECT_EQ(ansi.Handle(), ansi.ImageHandle());
        // A file-based image needs no stream of ours.
        EXPECT_EQ(ansi.SourceStream().GetStream(), nullptr);
        ImageObject wide;
        ASSERT_TRUE(wide.LoadFromFileW(widePath, icm));
        EXPECT_EQ(wide.GetHeight(), 3u);
    }
}

TEST_F(ImageTest, LoadFromMissingFileFailsAndReleasesWhatWasHeld) {
    TempDirectory directory;
    ImageObject image;
    ASSERT_TRUE(image.LoadFromMemory(redPng));
    HGLOBAL block = image.SourceStream().GetBlock();
    EXPECT_FALSE(image.LoadFromFile(directory.File("missing.png")));
    EXPECT_NE(LastStatus, 0);
    EXPECT_FALSE(image.IsValid());
    EXPECT_TRUE(GlobalBlockFreed(block));
}

// ---- saving and the encoder lookup ---------------------------------------

TEST(ImageEncoders, EnumerationNamesPngInUpperCaseGuidText) {
    const std::vector<ImageEncoderInfo> encoders = EnumerateImageEncoders();
    ASSERT_FALSE(encoders.empty());
    const auto png = std::find_if(encoders.begin(), encoders.end(),
                                  [](const ImageEncoderInfo& e) { return e.formatIdText == PngFormatText; });
    ASSERT_NE(png, encoders.end());
    EXPECT_EQ(png->mimeType, "image/png");
    EXPECT_EQ(png->classIdText, "{557CF406-1A04-11D3-9A73-0000F81EF32E}");
    for (const ImageEncoderInfo& encoder : encoders) {
        EXPECT_EQ(encoder.formatIdText.size(), 38u) << encoder.formatIdText;
        EXPECT_FALSE(std::any_of(encoder.formatIdText.begin(), encoder.formatIdText.end(), [](char c) {
            return c >= 'a' && c <= 'z';
        })) << encoder.formatIdText;
    }
}

TEST(ImageEncoders, LookupIsExactAndCaseSensitive) {
    std::string lowerPng(PngFormatText);
    std::transform(lowerPng.begin(), lowerPng.end(), lowerPng.begin(),
                   [](char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); });
    EXPECT_TRUE(FindEncoderClassId("").has_value());
    EXPECT_TRUE(FindEncoderClassId(PngFormatText).has_value());
    EXPECT_EQ(GuidToText(*FindEncoderClassId("")), GuidToText(*FindEncoderClassId(PngFormatText)));
    EXPECT_FALSE(FindEncoderClassId(lowerPng).has_value());
    EXPECT_FALSE(FindEncoderClassId("B96B3CAF-0728-11D3-9D7B-0000F81EF32E").has_value()); // no braces
    EXPECT_FALSE(FindEncoderClassId("image/png").has_value());
}

TEST(ImageEncoders, GuidTextRoundTrips) {
    const std::optional<GUID> guid = TextToGuid(PngFormatText);
    ASSERT_TRUE(guid.has_value());
    EXPECT_EQ(GuidToText(*guid), PngFormatText);
    // Parsing ignores case; produced text is upper case.
    EXPECT_EQ(GuidToText(*TextToGuid("{b96b3caf-0728-11d3-9d7b-0000f81ef32e}")), PngFormatText);
    EXPECT_FALSE(TextToGuid("not a guid").has_value());
    EXPECT_FALSE(TextToGuid("").has_value());
}

TEST_F(ImageTest, SaveToMemoryWithEmptyFormatEncodesPngThatDecodesToTheSameSize) {
    ImageObject image;
    ASSERT_TRUE(image.LoadFromMemory(redPng));
    const ByteArray saved = image.SaveToMemory("");
    EXPECT_EQ(LastStatus, 0);
    ASSERT_TRUE(IsPng(saved));
    ImageObject decoded;
    ASSERT_TRUE(decoded.LoadFromMemory(saved));
    EXPECT_EQ(decoded.GetWidth(), 4u);
    EXPECT_EQ(decoded.GetHeight(), 3u);
    EXPECT_EQ(decoded.GetRawFormat(), PngFormatText);
}

TEST_F(ImageTest, SaveToMemoryWithLowerCasePngGuidFindsNoEncoder) {
    ImageObject image;
    ASSERT_TRUE(image.LoadFromMemory(redPng));
    EXPECT_TRUE(image.SaveToMemory("{b96b3caf-0728-11d3-9d7b-0000f81ef32e}").empty());
    EXPECT_TRUE(image.SaveToMemory("PNG").empty());
}

struct FormatCase {
    std::string_view format;
    std::initializer_list<std::uint8_t> signature;
};

// The source has a palette: every encoder takes it (Wine's GIF encoder
// writes no more than a header for a 32-bit picture).
TEST(ImageSave, SaveToMemoryEncodesEachInstalledFormat) {
    const FormatCase cases[] = {
        {PngFormatText, {0x89, 'P', 'N', 'G'}}, {BmpFormat, {'B', 'M'}}, {JpegFormat, {0xFF, 0xD8}},
        {GifFormat, {'G', 'I', 'F', '8'}},      {TiffFormat, {}}, // "II*" or "MM*": checked below
    };
    ImageObject image;
    image.SetNativeHandle(MakeBitmap(4, 4, 0, PixelFormat8bppIndexed));
    ASSERT_TRUE(image.IsValid());
    for (const FormatCase& c : cases) {
        SCOPED_TRACE(std::string(c.format));
        const ByteArray saved = image.SaveToMemory(c.format);
        ASSERT_EQ(LastStatus, 0);
        if (c.format == TiffFormat)
            EXPECT_TRUE(StartsWith(saved, {'I', 'I', 42, 0}) || StartsWith(saved, {'M', 'M', 0, 42}));
        else
            EXPECT_TRUE(StartsWith(saved, c.signature));
        ImageObject decoded;
        ASSERT_TRUE(decoded.LoadFromMemory(saved));
        EXPECT_EQ(decoded.GetWidth(), 4u);
        EXPECT_EQ(decoded.GetRawFormat(), c.format);
    }
}

TEST_F(ImageTest, SaveToFileAnsiAndWide) {
    TempDirectory directory;
    ImageObject image;
    ASSERT_TRUE(image.LoadFromMemory(bluePng));

    const std::string ansiPath = directory.File("保存.png");
    ASSERT_TRUE(image.SaveToFile(ansiPath, ""));
    const std::string written = ReadFileBytes(ansiPath);
    EXPECT_TRUE(IsPng(ByteArray(written.begin(), written.end())));

    const std::wstring widePath = AnsiToWide(directory.File("wide.bmp"));
    ASSERT_TRUE(image.SaveToFileW(widePath, BmpFormat));
    ImageObject reloaded;
    ASSERT_TRUE(reloaded.LoadFromFileW(widePath));
    EXPECT_EQ(reloaded.GetWidth(), 5u);
    EXPECT_EQ(reloaded.GetRawFormat(), BmpFormat);
}

TEST_F(ImageTest, SaveToFileWithUnknownFormatWritesNothing) {
    TempDirectory directory;
    ImageObject image;
    ASSERT_TRUE(image.LoadFromMemory(redPng));
    const std::string path = directory.File("never.png");
    LastStatus = 0;
    EXPECT_FALSE(image.SaveToFile(path, "{b96b3caf-0728-11d3-9d7b-0000f81ef32e}"));
    EXPECT_EQ(GetFileAttributesA(path.c_str()), INVALID_FILE_ATTRIBUTES);
}

// The encoder and parameter block a save hands to GdipSaveImageToStream.
struct SavedToStream {
    int calls = 0;
    std::string encoder;
    std::vector<std::string> guids;
    std::vector<std::uint32_t> values; // the first value of each parameter
    std::vector<std::uint32_t> counts, types;
    Gdiplus::GpStatus(WINGDIPAPI* passOn)(Gdiplus::GpImage*, IStream*, const CLSID*,
                                          const Gdiplus::EncoderParameters*) = nullptr;
};
SavedToStream savedToStream;

Gdiplus::GpStatus WINGDIPAPI RecordSaveToStream(Gdiplus::GpImage* image, IStream* stream,
                                                const CLSID* encoder,
                                                const Gdiplus::EncoderParameters* parameters) {
    SavedToStream& seen = savedToStream;
    ++seen.calls;
    seen.encoder = encoder ? GuidToText(*encoder) : "";
    for (UINT i = 0; parameters && i < parameters->Count; ++i) {
        const Gdiplus::EncoderParameter& p = parameters->Parameter[i];
        seen.guids.push_back(GuidToText(p.Guid));
        seen.counts.push_back(p.NumberOfValues);
        seen.types.push_back(p.Type);
        std::uint32_t first = 0;
        if (p.Value)
            std::memcpy(&first, p.Value, 4);
        seen.values.push_back(first);
    }
    return seen.passOn(image, stream, encoder, parameters);
}

TEST_F(ImageTest, EncoderParametersReachTheEncoder) {
    ImageObject image;
    ASSERT_TRUE(image.LoadFromMemory(MakePng(32, 32, 0xFF336699)));
    ImportHook hook("gdiplus.dll", "GdipSaveImageToStream", reinterpret_cast<void*>(&RecordSaveToStream));
    ASSERT_TRUE(hook.Installed());
    auto withQuality = [&](std::uint32_t quality) {
        savedToStream = {};
        savedToStream.passOn = hook.Original<decltype(savedToStream.passOn)>();
        EncoderParameterSet set;
        ByteArray value(4);
        std::memcpy(value.data(), &quality, 4);
        set.parameters.push_back(
            {std::string(QualityParameter), 1, Gdiplus::EncoderParameterValueTypeLong, value});
        const ByteArray saved = image.SaveToMemory(JpegFormat, &set);
        // The block GDI+ was given holds the one parameter as the set has it.
        EXPECT_EQ(savedToStream.calls, 1);
        EXPECT_EQ(TextToGuid(savedToStream.encoder), FindEncoderClassId(JpegFormat));
        EXPECT_EQ(savedToStream.guids, std::vector<std::string>{GuidToText(*TextToGuid(QualityParameter))});
        EXPECT_EQ(savedToStream.counts, std::vector<std::uint32_t>{1});
        EXPECT_EQ(savedToStream.types, std::vector<std::uint32_t>{Gdiplus::EncoderParameterValueTypeLong});
        EXPECT_EQ(savedToStream.values, std::vector<std::uint32_t>{quality});
        return saved;
    };
    const ByteArray low = withQuality(5);
    EXPECT_EQ(LastStatus, 0);
    const ByteArray high = withQuality(100);
    EXPECT_EQ(LastStatus, 0);
    ASSERT_TRUE(StartsWith(low, {0xFF, 0xD8}));
    ASSERT_TRUE(StartsWith(high, {0xFF, 0xD8}));
    if (low.size() == high.size() && RunningUnderWine())
        GTEST_SKIP() << "Wine's JPEG encoder ignores the quality it is handed (checked above)";
    EXPECT_LT(low.size(), high.size());
}

TEST_F(ImageTest, EncoderParameterListOfPng) {
    ImageObject image;
    ASSERT_TRUE(image.LoadFromMemory(redPng));
    EncoderParameterSet set;
    set.parameters.push_back({"left alone", 0, 0, {}});
    const bool listed = image.GetEncoderParameterList("", set);
    if (!listed && LastStatus == NotImplementedStatus) {
        EXPECT_EQ(set.parameters.size(), 1u); // untouched after the failed size query
        GTEST_SKIP() << "GdipGetEncoderParameterListSize answers NotImplemented here";
    }
    ASSERT_TRUE(listed);
    for (const EncoderParameterRecord& record : set.parameters)
        EXPECT_TRUE(TextToGuid(record.guidText).has_value()) << record.guidText;
}

TEST_F(ImageTest, EncoderParameterListWithUnknownFormatFailsWithoutAsking) {
    ImageObject image;
    ASSERT_TRUE(image.LoadFromMemory(redPng));
    EncoderParameterSet set;
    EXPECT_FALSE(image.GetEncoderParameterList("{00000000-0000-0000-0000-000000000000}", set));
    EXPECT_TRUE(set.parameters.empty());
}

TEST_F(ImageTest, SaveAddWithoutAMultiFrameSaveFails) {
    ImageObject image;
    ASSERT_TRUE(image.LoadFromMemory(redPng));
    ImageObject other;
    ASSERT_TRUE(other.LoadFromMemory(bluePng));
    const EncoderParameterSet none;
    EXPECT_FALSE(image.SaveAdd(none));
    EXPECT_NE(LastStatus, 0);
    EXPECT_FALSE(image.SaveAddImage(other, none));
    EXPECT_NE(LastStatus, 0);
    EXPECT_TRUE(image.IsValid());
}

// ---- queries ---------------------------------------------------------------

TEST_F(ImageTest, GeometryAndFormatQueries) {
    ImageObject image;
    ASSERT_TRUE(image.LoadFromMemory(redPng));
    int unit = -1;
    const Gdiplus::RectF bounds = image.GetBounds(unit);
    EXPECT_EQ(LastStatus, 0);
    EXPECT_EQ(unit, Gdiplus::UnitPixel);
    EXPECT_FLOAT_EQ(bounds.X, 0.0f);
    EXPECT_FLOAT_EQ(bounds.Y, 0.0f);
    EXPECT_FLOAT_EQ(bounds.Width, 4.0f);
    EXPECT_FLOAT_EQ(bounds.Height, 3.0f);
    const Gdiplus::SizeF size = image.GetDimension();
    EXPECT_FLOAT_EQ(size.Width, 4.0f);
    EXPECT_FLOAT_EQ(size.Height, 3.0f);
    EXPECT_EQ(image.GetType(), Gdiplus::ImageTypeBitmap);
    EXPECT_GT(image.GetHorizontalResolution(), 0.0f);
    EXPECT_GT(image.GetVerticalResolution(), 0.0f);
    EXPECT_EQ(image.GetPixelFormat(), PixelFormat32bppARGB);
    EXPECT_NE(image.GetFlags() & Gdiplus::ImageFlagsHasAlpha, 0u);
    EXPECT_EQ(image.GetRawFormat(), PngFormatText);
}

TEST(ImageQueries, AdoptedMemoryBitmapReportsMemoryBmp) {
    ImageObject image;
    image.SetNativeHandle(MakeBitmap(6, 7, 0xFF00FF00));
    ASSERT_TRUE(image.IsValid());
    EXPECT_EQ(image.GetRawFormat(), MemoryBmpFormat);
    EXPECT_EQ(image.GetWidth(), 6u);
    // An adopted image is released like a loaded one.
    EXPECT_TRUE(image.Dispose());
}

struct EmptyQueryCase {
    const char* name;
    bool (*call)(ImageObject&); // answers whether the result is the default
};

TEST(ImageQueries, EmptyImagePassesNullAndAnswersDefaults) {
    const EmptyQueryCase cases[] = {
        {"GetWidth", [](ImageObject& i) { return i.GetWidth() == 0; }},
        {"GetHeight", [](ImageObject& i) { return i.GetHeight() == 0; }},
        {"GetType", [](ImageObject& i) { return i.GetType() == 0; }},
        {"GetFlags", [](ImageObject& i) { return i.GetFlags() == 0; }},
        {"GetPixelFormat", [](ImageObject& i) { return i.GetPixelFormat() == 0; }},
        {"GetHorizontalResolution", [](ImageObject& i) { return i.GetHorizontalResolution() == 0.0f; }},
        {"GetDimension", [](ImageObject& i) { return i.GetDimension().Width == 0.0f; }},
        {"GetRawFormat",
         [](ImageObject& i) { return i.GetRawFormat() == "{00000000-0000-0000-0000-000000000000}"; }},
        {"GetFrameCount", [](ImageObject& i) { return i.GetFrameCount(PageDimension) == 0; }},
        {"RotateFlip", [](ImageObject& i) { return !i.RotateFlip(1); }},
        {"SaveToMemory", [](ImageObject& i) { return i.SaveToMemory("").empty(); }},
    };
    for (const EmptyQueryCase& c : cases) {
        SCOPED_TRACE(c.name);
        ImageObject image;
        LastStatus = 0;
        EXPECT_TRUE(c.call(image));
        EXPECT_EQ(LastStatus, Gdiplus::InvalidParameter);
    }
}

TEST_F(ImageTest, FramesOfASinglePagePicture) {
    ImageObject image;
    ASSERT_TRUE(image.LoadFromMemory(redPng));
    std::vector<std::string> dimensions = {"stale", "entries"};
    ASSERT_EQ(image.GetFrameDimensions(dimensions), 1u);
    ASSERT_EQ(dimensions.size(), 1u);
    EXPECT_EQ(dimensions[0], PageDimension);
    EXPECT_EQ(image.GetFrameCount(PageDimension), 1u);
    EXPECT_TRUE(image.SelectActiveFrame(PageDimension, 0));
    EXPECT_FALSE(image.SelectActiveFrame(PageDimension, 5));
}

// A 1 x 1 GIF89a of two frames, shown for 10 and 20 hundredths of a second
// (GDI+ has no animated-GIF encoder to make one).
ByteArray TwoFrameGif() {
    ByteArray gif = {'G', 'I', 'F', '8', '9', 'a', 1, 0, 1, 0, 0x80, 0, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF};
    for (const std::uint8_t delay : {10, 20}) {
        const std::uint8_t frame[] = {0x21, 0xF9, 4,    0,    delay, 0, 0, 0,       // graphic control
                                      0x2C, 0,    0,    0,    0,     1, 0, 1, 0, 0, // image descriptor
                                      2,    2,    0x44, 0x01, 0};                   // LZW data
        gif.insert(gif.end(), std::begin(frame), std::end(frame));
    }
    gif.push_back(0x3B);
    return gif;
}

TEST(ImageFrames, AnimatedGifFramesAndDelays) {
    ImageObject gif;
    ASSERT_TRUE(gif.LoadFromMemory(TwoFrameGif()));
    EXPECT_EQ(gif.GetRawFormat(), GifFormat);
    std::vector<std::string> dimensions;
    ASSERT_EQ(gif.GetFrameDimensions(dimensions), 1u);
    EXPECT_EQ(dimensions[0], TimeDimension);
    EXPECT_EQ(gif.GetFrameCount(TimeDimension), 2u);
    EXPECT_TRUE(gif.SelectActiveFrame(TimeDimension, 1));
    EXPECT_EQ(LastStatus, 0);

    std::vector<std::int32_t> delays = {99, 99, 99};
    ASSERT_TRUE(gif.GetFrameDelays(delays));
    EXPECT_EQ(delays, (std::vector<std::int32_t>{10, 20}));
}

TEST_F(ImageTest, FrameDelaysMissingOnAPng) {
    ImageObject image;
    ASSERT_TRUE(image.LoadFromMemory(redPng));
    std::vector<std::int32_t> delays = {7};
    EXPECT_FALSE(image.GetFrameDelays(delays));
    EXPECT_NE(LastStatus, 0);
    EXPECT_EQ(delays, std::vector<std::int32_t>{7});
}

// A TIFF carries its tags as property items.
class ImageProperties : public ImageTest {
protected:
    ImageObject tiff;

    void SetUp() override {
        ImageTest::SetUp();
        ImageObject png;
        ASSERT_TRUE(png.LoadFromMemory(redPng));
        ASSERT_TRUE(tiff.LoadFromMemory(png.SaveToMemory(TiffFormat)));
    }
};

TEST_F(ImageProperties, IdListAndItemsMatchWhatGdiplusHolds) {
    std::vector<std::uint32_t> ids(2, 0xDEADBEEF);
    UINT count = 0;
    ASSERT_EQ(GdipGetPropertyCount(tiff.ImageHandle(), &count), Gdiplus::Ok);
    ASSERT_GT(count, 0u);
    EXPECT_EQ(tiff.GetPropertyIdList(ids), count);
    ASSERT_EQ(ids.size(), count);
    EXPECT_EQ(std::count(ids.begin(), ids.end(), 0xDEADBEEF), 0);

    for (const std::uint32_t id : ids) {
        SCOPED_TRACE(id);
        PropertyItemRecord item;
        ASSERT_TRUE(tiff.GetPropertyItem(id, item));
        UINT size = 0;
        GdipGetPropertyItemSize(tiff.ImageHandle(), id, &size);
        std::vector<std::uint64_t> block((size + 7) / 8);
        auto* native = reinterpret_cast<Gdiplus::PropertyItem*>(block.data());
        ASSERT_EQ(GdipGetPropertyItem(tiff.ImageHandle(), id, size, native), Gdiplus::Ok);
        EXPECT_EQ(item.id, id);
        EXPECT_EQ(item.length, native->length);
        EXPECT_EQ(item.type, native->type);
        ASSERT_EQ(item.value.size(), native->length);
        EXPECT_TRUE(
            std::equal(item.value.begin(), item.value.end(), static_cast<std::uint8_t*>(native->value)));
    }
}

TEST_F(ImageProperties, ImageWidthTagHoldsTheWidth) {
    PropertyItemRecord width;
    ASSERT_TRUE(tiff.GetPropertyItem(0x0100, width)); // PropertyTagImageWidth
    ASSERT_GE(width.value.size(), 2u);
    EXPECT_EQ(width.value[0] | (width.value[1] << 8), 4);
}

TEST_F(ImageProperties, MissingItemFailsAndLeavesTheRecord) {
    PropertyItemRecord item{1, 2, 3, {4}};
    EXPECT_FALSE(tiff.GetPropertyItem(ImageTitleTag, item));
    EXPECT_NE(LastStatus, 0);
    EXPECT_EQ(item.id, 1u);
    EXPECT_EQ(item.value, ByteArray{4});
}

// The item SetPropertyItem hands to GdipSetPropertyItem, value copied.
struct SetPropertyCall {
    int calls = 0;
    Gdiplus::GpImage* image = nullptr;
    PropertyItemRecord item;
    Gdiplus::GpStatus(WINGDIPAPI* passOn)(Gdiplus::GpImage*, const Gdiplus::PropertyItem*) = nullptr;
};
SetPropertyCall setPropertyCall;

Gdiplus::GpStatus WINGDIPAPI RecordSetPropertyItem(Gdiplus::GpImage* image,
                                                   const Gdiplus::PropertyItem* item) {
    SetPropertyCall& seen = setPropertyCall;
    ++seen.calls;
    seen.image = image;
    seen.item = {item->id, item->length, item->type, {}};
    const auto* value = static_cast<const std::uint8_t*>(item->value);
    if (value)
        seen.item.value.assign(value, value + item->length);
    return seen.passOn(image, item);
}

TEST_F(ImageProperties, SetThenGetReturnsTheItem) {
    const PropertyItemRecord title{ImageTitleTag, 6, PropertyTagTypeASCII, {'c', 'l', 'o', 'c', 'k', 0}};
    bool set = false;
    {
        ImportHook hook("gdiplus.dll", "GdipSetPropertyItem",
                        reinterpret_cast<void*>(&RecordSetPropertyItem));
        ASSERT_TRUE(hook.Installed());
        setPropertyCall = {};
        setPropertyCall.passOn = hook.Original<decltype(setPropertyCall.passOn)>();
        set = tiff.SetPropertyItem(title);
    }
    EXPECT_EQ(setPropertyCall.calls, 1);
    EXPECT_EQ(setPropertyCall.image, tiff.ImageHandle());
    EXPECT_EQ(setPropertyCall.item.id, title.id);
    EXPECT_EQ(setPropertyCall.item.length, title.length);
    EXPECT_EQ(setPropertyCall.item.type, title.type);
    EXPECT_EQ(setPropertyCall.item.value, title.value) << "the bytes handed to GDI+";
    if (!set) {
        ASSERT_EQ(LastStatus, NotImplementedStatus);
        GTEST_SKIP() << "GdipSetPropertyItem answers NotImplemented here";
    }
    PropertyItemRecord read;
    if (!tiff.GetPropertyItem(ImageTitleTag, read) && RunningUnderWine())
        GTEST_SKIP()
            << "Wine's GdipSetPropertyItem answers Ok and keeps nothing (what it was handed is checked)";
    EXPECT_EQ(read.id, title.id);
    EXPECT_EQ(read.length, title.length);
    EXPECT_EQ(read.type, title.type);
    EXPECT_EQ(read.value, title.value);
}

TEST_F(ImageProperties, RemoveTakesTheItemAway) {
    std::vector<std::uint32_t> ids;
    ASSERT_GT(tiff.GetPropertyIdList(ids), 0u);
    const bool removed = tiff.RemovePropertyItem(ids[0]);
    PropertyItemRecord item;
    if (!removed && LastStatus == NotImplementedStatus) {
        EXPECT_TRUE(tiff.GetPropertyItem(ids[0], item)); // nothing was changed
        GTEST_SKIP() << "GdipRemovePropertyItem answers NotImplemented here";
    }
    ASSERT_TRUE(removed);
    EXPECT_FALSE(tiff.GetPropertyItem(ids[0], item));
}

TEST_F(ImageTest, PngWithoutPropertiesGivesAnEmptyIdList) {
    ImageObject image;
    ASSERT_TRUE(image.LoadFromMemory(redPng));
    UINT count = 0;
    ASSERT_EQ(GdipGetPropertyCount(image.ImageHandle(), &count), Gdiplus::Ok);
    if (count != 0)
        GTEST_SKIP() << "this PNG decoder reports properties";
    std::vector<std::uint32_t> ids(3, 1);
    LastStatus = 99;
    EXPECT_EQ(image.GetPropertyIdList(ids), 0u);
    EXPECT_TRUE(ids.empty());
    EXPECT_EQ(LastStatus, 0);
}

TEST_F(ImageTest, RotateFlipSwapsTheSides) {
    ImageObject image;
    ASSERT_TRUE(image.LoadFromMemory(redPng));
    ASSERT_TRUE(image.RotateFlip(Gdiplus::Rotate90FlipNone));
    EXPECT_EQ(image.GetWidth(), 3u);
    EXPECT_EQ(image.GetHeight(), 4u);
}

TEST_F(ImageTest, ThumbnailGoesIntoTheTargetReplacingWhatItHeld) {
    ImageObject image;
    ASSERT_TRUE(image.LoadFromMemory(redPng));
    ImageObject target;
    ASSERT_TRUE(target.LoadFromMemory(bluePng));
    HGLOBAL targetBlock = target.SourceStream().GetBlock();
    ASSERT_TRUE(image.GetThumbnail(2, 2, target));
    EXPECT_TRUE(GlobalBlockFreed(targetBlock));
    EXPECT_NE(target.GetNativeHandle(), image.GetNativeHandle());
    EXPECT_EQ(target.Handle(), target.ImageHandle());
    EXPECT_EQ(target.GetWidth(), 2u);
    EXPECT_EQ(target.GetHeight(), 2u);
    EXPECT_EQ(image.GetWidth(), 4u);
}

TEST(ImagePalette, IndexedBitmapPaletteRoundTrips) {
    ImageObject image;
    image.SetNativeHandle(MakeBitmap(4, 4, 0, PixelFormat8bppIndexed));
    ASSERT_TRUE(image.IsValid());
    PaletteRecord original;
    ASSERT_TRUE(image.GetPalette(original));
    EXPECT_FALSE(original.entries.empty());

    const PaletteRecord mine{Gdiplus::PaletteFlagsHasAlpha, {0xFF112233, 0x80445566, 0x00000000}};
    ASSERT_TRUE(image.SetPalette(mine));
    PaletteRecord read;
    ASSERT_TRUE(image.GetPalette(read));
    EXPECT_EQ(read.entries, mine.entries);
    EXPECT_EQ(read.flags, mine.flags);
}

TEST_F(ImageTest, CloneGivesTheTargetItsOwnCopy) {
    ImageObject image;
    ASSERT_TRUE(image.LoadFromMemory(redPng));
    ImageObject target;
    ASSERT_TRUE(target.LoadFromMemory(bluePng));
    ASSERT_TRUE(image.Clone(target));
    EXPECT_NE(target.GetNativeHandle(), nullptr);
    EXPECT_NE(target.GetNativeHandle(), image.GetNativeHandle());
    EXPECT_EQ(target.Handle(), target.ImageHandle());
    EXPECT_EQ(target.GetWidth(), 4u);
    // Changing the copy leaves the original alone.
    ASSERT_TRUE(target.RotateFlip(Gdiplus::Rotate90FlipNone));
    EXPECT_EQ(image.GetWidth(), 4u);
    EXPECT_EQ(target.GetWidth(), 3u);
}

TEST_F(ImageTest, CloneIntoItselfKeepsTheStreamTheCloneMayRead) {
    ImageObject image;
    ASSERT_TRUE(image.LoadFromMemory(redPng));
    const NativeHandle before = image.GetNativeHandle();
    ASSERT_TRUE(image.Clone(image));
    EXPECT_NE(image.GetNativeHandle(), before);
    EXPECT_EQ(image.SourceStream().ReadAllBytes(), redPng);
    EXPECT_EQ(image.GetWidth(), 4u);
}

TEST_F(ImageTest, CloneOfEmptyImageEmptiesTheTarget) {
    ImageObject empty;
    ImageObject target;
    ASSERT_TRUE(target.LoadFromMemory(bluePng));
    EXPECT_FALSE(empty.Clone(target));
    EXPECT_EQ(LastStatus, Gdiplus::InvalidParameter);
    EXPECT_FALSE(target.IsValid());
    EXPECT_EQ(target.SourceStream().GetBlock(), nullptr);
}

// ---- the hover buttons' use: load, draw, dispose, every frame ------------

TEST_F(ImageTest, LoadDrawDisposeEveryFrameLeavesNothingBehind) {
    const ByteArray button = MakePng(16, 16, 0xFF00FF00);
    DibCanvas canvas(16, 16);
    ImageAttributesObject noAttributes;

    auto frame = [&] {
        ImageObject image;
        if (!image.LoadFromMemory(button))
            return false;
        HGLOBAL block = image.SourceStream().GetBlock();
        const auto drawn =
            GdipDrawImageRectRect(canvas.Graphics(), image.ImageHandle(), 0, 0, 16, 16, 0, 0, 16, 16,
                                  Gdiplus::UnitPixel, noAttributes.Handle(), nullptr, nullptr);
        const bool disposed = image.Dispose();
        return drawn == Gdiplus::Ok && disposed && GlobalBlockFreed(block) && !image.IsValid();
    };
    for (int i = 0; i < 20; ++i)
        ASSERT_TRUE(frame()) << "frame " << i;
    EXPECT_EQ(canvas.Pixel(8, 8) & 0x00FFFFFF, 0x00FF00u);

    PROCESS_MEMORY_COUNTERS before{};
    GetProcessMemoryInfo(GetCurrentProcess(), &before, sizeof(before));
    for (int i = 0; i < 1000; ++i)
        ASSERT_TRUE(frame()) << "frame " << i;
    PROCESS_MEMORY_COUNTERS after{};
    GetProcessMemoryInfo(GetCurrentProcess(), &after, sizeof(after));
    // A leaked 16 x 16 image or its stream per frame would add megabytes.
    const long long growth =
        static_cast<long long>(after.PagefileUsage) - static_cast<long long>(before.PagefileUsage);
    EXPECT_LT(growth, 1024 * 1024) << "grew by " << growth << " bytes over 1000 frames";
}

} // namespace

#pragma once
// Decoded pictures (GpImage), with the encoder lookup and the records that
// carry encoder parameters, property items and palettes.
//
// Conventions:
// - Two handle levels, handle (GpImage) and imageHandle; load, dispose and
//   every query use imageHandle.
// - An image loaded from memory owns the stream it was decoded from
//   (sourceStream): GDI+ may read a stream-based image long after loading.
//   Dispose releases both; a failed load keeps no bytes; the destructor
//   leaves nothing behind in any case.
// - Formats, frame dimensions and encoders are named by GUID text in
//   registry form, braces included, upper case when produced here.
#include "graphics/GraphicsObjectBase.h"
#include "graphics/ImageAttributesObject.h"
#include "graphics/MemoryStreamObject.h"

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The PNG format: what an empty format text stands for when saving.
inline constexpr std::string_view PngFormatText = "{B96B3CAF-0728-11D3-9D7B-0000F81EF32E}";

// GUID to "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" (upper case, ANSI).
std::string GuidToText(const GUID& guid);
// Registry-form text to GUID; nullopt when the text is not one.
std::optional<GUID> TextToGuid(std::string_view text);

// One installed encoder, its identifiers as GUID text, its names as ANSI.
struct ImageEncoderInfo {
    std::string classIdText;
    std::string formatIdText;
    std::string codecName;
    std::string dllName;
    std::string formatDescription;
    std::string filenameExtension;
    std::string mimeType;
};

// Every installed encoder, in GDI+'s order (empty when the query fails).
std::vector<ImageEncoderInfo> EnumerateImageEncoders();
// The first encoder whose format-id text equals formatText byte for byte
// (empty text means PNG); nullopt when none does.
std::optional<CLSID> FindEncoderClassId(std::string_view formatText);

struct EncoderParameterRecord {
    std::string guidText;
    std::uint32_t numberOfValues = 0;
    std::uint32_t type = 0; // EncoderParameterValueType
    ByteArray value;
};

struct EncoderParameterSet {
    std::vector<EncoderParameterRecord> parameters;
};

struct PropertyItemRecord {
    std::uint32_t id = 0;
    std::uint32_t length = 0; // of the value, in bytes
    std::uint16_t type = 0;
    ByteArray value;
};

class ImageObject : public SingleLevelObject<Gdiplus::GpImage> {
public:
    ImageObject() = default;
    ~ImageObject() override;

    Gdiplus::GpImage* ImageHandle() const { return imageHandle; }
    const MemoryStreamObject& SourceStream() const { return sourceStream; }

    // The target receives a copy; what it held before is released. GDI+ may
    // let a clone of a memory-loaded image read its source's stream, so the
    // source should outlive the clone.
    bool Clone(ImageObject& target) const;
    bool SaveToFile(std::string_view path, std::string_view formatText,
                    const EncoderParameterSet* parameters = nullptr) const;
    bool SaveToFileW(const std::wstring& path, std::string_view formatText,
                     const EncoderParameterSet* parameters = nullptr) const;
    // The encoded bytes; empty when no encoder matches. After a failed save
    // whatever the stream holds is returned and LastStatus tells.
    ByteArray SaveToMemory(std::string_view formatText,
                           const EncoderParameterSet* parameters = nullptr) const;
    bool SaveAdd(const EncoderParameterSet& parameters);
    bool SaveAddImage(const ImageObject& added, const EncoderParameterSet& parameters);
    bool GetEncoderParameterList(std::string_view formatText, EncoderParameterSet& parameters) const;
    std::string GetRawFormat() const;
    Gdiplus::RectF GetBounds(int& unit) const;
    Gdiplus::SizeF GetDimension() const;
    int GetType() const;
    std::uint32_t GetWidth() const;
    std::uint32_t GetHeight() const;
    float GetHorizontalResolution() const;
    float GetVerticalResolution() const;
    std::uint32_t GetFlags() const;
    int GetPixelFormat() const;
    // The target receives the thumbnail; what it held before is released.
    bool GetThumbnail(std::uint32_t width, std::uint32_t height, ImageObject& target) const;
    std::uint32_t GetFrameCount(std::string_view dimensionText) const;
    std::uint32_t GetFrameDimensions(std::vector<std::string>& dimensions) const;
    bool SelectActiveFrame(std::string_view dimensionText, std::uint32_t index);
    // The frame delay property (0x5100) as integers; false when missing.
    bool GetFrameDelays(std::vector<std::int32_t>& delays) const;
    bool GetPropertyItem(std::uint32_t id, PropertyItemRecord& item) const;
    bool SetPropertyItem(const PropertyItemRecord& item);
    bool RemovePropertyItem(std::uint32_t id);
    std::uint32_t GetPropertyIdList(std::vector<std::uint32_t>& ids) const;
    bool RotateFlip(int rotateFlipType);
    bool GetPalette(PaletteRecord& palette) const;
    bool SetPalette(const PaletteRecord& palette);
    bool Dispose();
    bool LoadFromFile(std::string_view path, bool useColorManagement = false);
    bool LoadFromFileW(const std::wstring& path, bool useColorManagement = false);
    bool LoadFromMemory(std::span<const std::uint8_t> bytes, bool useColorManagement = false);

protected:
    void StoreHandle(NativeHandle nativeHandle) override;
    void StoreLevel2Handle(NativeHandle nativeHandle) override;

private:
    bool LoadFromWidePath(const std::wstring& path, bool useColorManagement);
    bool SaveToWidePath(const std::wstring& path, std::string_view formatText,
                        const EncoderParameterSet* parameters) const;

    Gdiplus::GpImage* imageHandle = nullptr;
    MemoryStreamObject sourceStream;
};

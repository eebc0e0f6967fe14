#include "graphics/ImageObject.h"

#include "graphics/TextMarshalling.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

using namespace Gdiplus;

static_assert(sizeof(PROPID) == sizeof(std::uint32_t));

namespace {

// Zeroed storage for GDI+'s variable-length records (pointer-aligned).
class NativeBlock {
public:
    explicit NativeBlock(std::size_t bytes) : words((std::max<std::size_t>(bytes, 1) + 7) / 8) {}
    template <class T> T* As() { return reinterpret_cast<T*>(words.data()); }
    std::size_t Size() const { return words.size() * 8; }

private:
    std::vector<std::uint64_t> words;
};

// Bytes of one value of an encoder parameter, by EncoderParameterValueType.
std::size_t EncoderValueSize(std::uint32_t type) {
    switch (type) {
    case EncoderParameterValueTypeShort:
        return 2;
    case EncoderParameterValueTypeLong:
        return 4;
    case EncoderParameterValueTypeRational:
    case EncoderParameterValueTypeLongRange:
        return 8;
    case EncoderParameterValueTypeRationalRange:
        return 16;
    case EncoderParameterValueTypePointer:
        return sizeof(void*);
    default: // Byte, ASCII, Undefined
        return 1;
    }
}

// The native EncoderParameters block for a parameter set. The values are
// copied, padded with zeros to what their count and type promise, so GDI+
// never reads past a short value.
class NativeEncoderParameters {
public:
    explicit NativeEncoderParameters(const EncoderParameterSet* set)
        : block(offsetof(EncoderParameters, Parameter) +
                (set ? set->parameters.size() : 0) * sizeof(EncoderParameter)) {
        if (!set)
            return;
        given = true;
        auto* native = block.As<EncoderParameters>();
        native->Count = static_cast<UINT>(set->parameters.size());
        values.reserve(set->parameters.size());
        for (std::size_t i = 0; i < set->parameters.size(); ++i) {
            const EncoderParameterRecord& record = set->parameters[i];
            ByteArray& value = values.emplace_back(record.value);
            value.resize(
                std::max<std::size_t>(value.size(), record.numberOfValues * EncoderValueSize(record.type)));
            EncoderParameter& parameter = native->Parameter[i];
            parameter.Guid = TextToGuid(record.guidText).value_or(GUID{});
            parameter.NumberOfValues = record.numberOfValues;
            parameter.Type = record.type;
            parameter.Value = value.empty() ? nullptr : value.data();
        }
    }

    const EncoderParameters* Get() { return given ? block.As<EncoderParameters>() : nullptr; }

private:
    NativeBlock block;
    std::vector<ByteArray> values;
    bool given = false;
};

NativeBlock MakeNativePalette(const PaletteRecord& palette) {
    NativeBlock block(offsetof(ColorPalette, Entries) + palette.entries.size() * sizeof(ARGB));
    auto* native = block.As<ColorPalette>();
    native->Flags = palette.flags;
    native->Count = static_cast<UINT>(palette.entries.size());
    std::copy(palette.entries.begin(), palette.entries.end(), native->Entries);
    return block;
}

std::string WideToAnsiOrEmpty(const WCHAR* text) {
    return text ? WideToAnsi(text) : std::string();
}

GUID GuidOrNull(std::string_view text) {
    return TextToGuid(text).value_or(GUID{});
}

} // namespace

std::string GuidToText(const GUID& guid) {
    wchar_t text[40] = {};
    if (StringFromGUID2(guid, text, 40) == 0)
        return {};
    return WideToAnsi(text);
}

std::optional<GUID> TextToGuid(std::string_view text) {
    const std::wstring wide = AnsiToWide(text);
    GUID guid{};
    if (wide.empty() || FAILED(CLSIDFromString(wide.c_str(), &guid)))
        return std::nullopt;
    return guid;
}

std::vector<ImageEncoderInfo> EnumerateImageEncoders() {
    UINT count = 0;
    UINT size = 0;
    if (!RecordStatus(GdipGetImageEncodersSize(&count, &size)) || count == 0)
        return {};
    NativeBlock block(size);
    if (!RecordStatus(GdipGetImageEncoders(count, size, block.As<ImageCodecInfo>())))
        return {};
    std::vector<ImageEncoderInfo> encoders;
    encoders.reserve(count);
    for (UINT i = 0; i < count; ++i) {
        const ImageCodecInfo& codec = block.As<ImageCodecInfo>()[i];
        encoders.push_back({GuidToText(codec.Clsid), GuidToText(codec.FormatID),
                            WideToAnsiOrEmpty(codec.CodecName), WideToAnsiOrEmpty(codec.DllName),
                            WideToAnsiOrEmpty(codec.FormatDescription),
                            WideToAnsiOrEmpty(codec.FilenameExtension), WideToAnsiOrEmpty(codec.MimeType)});
    }
    return encoders;
}

std::optional<CLSID> FindEncoderClassId(std::string_view formatText) {
    if (formatText.empty())
        formatText = PngFormatText;
    for (const ImageEncoderInfo& encoder : EnumerateImageEncoders())
        if (encoder.formatIdText == formatText)
            return TextToGuid(encoder.classIdText);
    return std::nullopt;
}

ImageObject::~ImageObject() {
    Dispose();
}

void ImageObject::StoreHandle(NativeHandle nativeHandle) {
    SingleLevelObject::StoreHandle(nativeHandle);
    StoreLevel2Handle(nativeHandle);
}

void ImageObject::StoreLevel2Handle(NativeHandle nativeHandle) {
    imageHandle = static_cast<GpImage*>(nativeHandle);
}

bool ImageObject::Clone(ImageObject& target) const {
    GpImage* created = nullptr;
    const GpStatus status = GdipCloneImage(imageHandle, &created);
    // Released after cloning, so that cloning into itself still works. A
    // clone may go on reading its source's stream, so cloning into itself
    // keeps the stream.
    if (&target == this)
        target.ReleaseWith(target.imageHandle, GdipDisposeImage);
    else
        target.Dispose();
    RecordStatus(status);
    target.SetNativeHandle(created);
    return LastStatus == 0;
}

bool ImageObject::SaveToWidePath(const std::wstring& path, std::string_view formatText,
                                 const EncoderParameterSet* parameters) const {
    const std::optional<CLSID> encoder = FindEncoderClassId(formatText);
    if (!encoder)
        return false;
    NativeEncoderParameters native(parameters);
    return RecordStatus(GdipSaveImageToFile(imageHandle, path.c_str(), &*encoder, native.Get()));
}

bool ImageObject::SaveToFile(std::string_view path, std::string_view formatText,
                             const EncoderParameterSet* parameters) const {
    return SaveToWidePath(AnsiToWide(path), formatText, parameters);
}

bool ImageObject::SaveToFileW(const std::wstring& path, std::string_view formatText,
                              const EncoderParameterSet* parameters) const {
    return SaveToWidePath(path, formatText, parameters);
}

ByteArray ImageObject::SaveToMemory(std::string_view formatText,
                                    const EncoderParameterSet* parameters) const {
    const std::optional<CLSID> encoder = FindEncoderClassId(formatText);
    if (!encoder)
        return {};
    IStream* stream = nullptr;
    if (FAILED(CreateStreamOnHGlobal(nullptr, FALSE, &stream)) || !stream)
        return {};
    MemoryStreamObject output;
    output.AttachStream(stream);
    NativeEncoderParameters native(parameters);
    RecordStatus(GdipSaveImageToStream(imageHandle, stream, &*encoder, native.Get()));
    ByteArray bytes = output.ReadAllBytes();
    // The block may be larger than what was written; the stream knows its end.
    ULARGE_INTEGER end{};
    if (SUCCEEDED(stream->Seek(LARGE_INTEGER{}, STREAM_SEEK_END, &end)) && end.QuadPart < bytes.size())
        bytes.resize(static_cast<std::size_t>(end.QuadPart));
    return bytes;
}

bool ImageObject::SaveAdd(const EncoderParameterSet& parameters) {
    NativeEncoderParameters native(&parameters);
    return RecordStatus(GdipSaveAdd(imageHandle, native.Get()));
}

bool ImageObject::SaveAddImage(const ImageObject& added, const EncoderParameterSet& parameters) {
    NativeEncoderParameters native(&parameters);
    return RecordStatus(
        GdipSaveAddImage(imageHandle, static_cast<GpImage*>(added.GetNativeHandle()), native.Get()));
}

bool ImageObject::GetEncoderParameterList(std::string_view formatText,
                                          EncoderParameterSet& parameters) const {
    const std::optional<CLSID> encoder = FindEncoderClassId(formatText);
    if (!encoder)
        return false;
    UINT size = 0;
    if (!RecordStatus(GdipGetEncoderParameterListSize(imageHandle, &*encoder, &size)))
        return false;
    NativeBlock block(size);
    auto* native = block.As<EncoderParameters>();
    if (!RecordStatus(GdipGetEncoderParameterList(imageHandle, &*encoder, size, native)))
        return false;
    parameters.parameters.clear();
    for (UINT i = 0; i < native->Count; ++i) {
        const EncoderParameter& parameter = native->Parameter[i];
        EncoderParameterRecord record{
            GuidToText(parameter.Guid), parameter.NumberOfValues, parameter.Type, {}};
        if (parameter.Value) {
            const auto* value = static_cast<const std::uint8_t*>(parameter.Value);
            record.value.assign(value, value + parameter.NumberOfValues * EncoderValueSize(parameter.Type));
        }
        parameters.parameters.push_back(std::move(record));
    }
    return true;
}

std::string ImageObject::GetRawFormat() const {
    GUID format{};
    RecordStatus(GdipGetImageRawFormat(imageHandle, &format));
    return GuidToText(format);
}

RectF ImageObject::GetBounds(int& unit) const {
    RectF bounds;
    Unit nativeUnit = static_cast<Unit>(unit);
    RecordStatus(GdipGetImageBounds(imageHandle, &bounds, &nativeUnit));
    unit = nativeUnit;
    return bounds;
}

SizeF ImageObject::GetDimension() const {
    SizeF size;
    RecordStatus(GdipGetImageDimension(imageHandle, &size.Width, &size.Height));
    return size;
}

int ImageObject::GetType() const {
    ImageType type = ImageTypeUnknown;
    RecordStatus(GdipGetImageType(imageHandle, &type));
    return type;
}

std::uint32_t ImageObject::GetWidth() const {
    UINT width = 0;
    RecordStatus(GdipGetImageWidth(imageHandle, &width));
    return width;
}

std::uint32_t ImageObject::GetHeight() const {
    UINT height = 0;
    RecordStatus(GdipGetImageHeight(imageHandle, &height));
    return height;
}

float ImageObject::GetHorizontalResolution() const {
    REAL resolution = 0.0f;
    RecordStatus(GdipGetImageHorizontalResolution(imageHandle, &resolution));
    return resolution;
}

float ImageObject::GetVerticalResolution() const {
    REAL resolution = 0.0f;
    RecordStatus(GdipGetImageVerticalResolution(imageHandle, &resolution));
    return resolution;
}

std::uint32_t ImageObject::GetFlags() const {
    UINT flags = 0;
    RecordStatus(GdipGetImageFlags(imageHandle, &flags));
    return flags;
}

int ImageObject::GetPixelFormat() const {
    PixelFormat format = 0;
    RecordStatus(GdipGetImagePixelFormat(imageHandle, &format));
    return format;
}

bool ImageObject::GetThumbnail(std::uint32_t width, std::uint32_t height, ImageObject& target) const {
    GpImage* thumbnail = nullptr;
    const GpStatus status = GdipGetImageThumbnail(imageHandle, width, height, &thumbnail, nullptr, nullptr);
    target.Dispose();
    RecordStatus(status);
    target.SetNativeHandle(thumbnail);
    return LastStatus == 0;
}

std::uint32_t ImageObject::GetFrameCount(std::string_view dimensionText) const {
    const GUID dimension = GuidOrNull(dimensionText);
    UINT count = 0;
    RecordStatus(GdipImageGetFrameCount(imageHandle, &dimension, &count));
    return count;
}

std::uint32_t ImageObject::GetFrameDimensions(std::vector<std::string>& dimensions) const {
    UINT count = 0;
    if (!RecordStatus(GdipImageGetFrameDimensionsCount(imageHandle, &count)))
        return 0;
    dimensions.assign(count, std::string());
    if (count == 0)
        return 0; // nothing to list; GDI+ refuses an empty list
    std::vector<GUID> native(count);
    RecordStatus(GdipImageGetFrameDimensionsList(imageHandle, native.data(), count));
    for (UINT i = 0; i < count; ++i)
        dimensions[i] = GuidToText(native[i]);
    return count;
}

bool ImageObject::SelectActiveFrame(std::string_view dimensionText, std::uint32_t index) {
    const GUID dimension = GuidOrNull(dimensionText);
    return RecordStatus(GdipImageSelectActiveFrame(imageHandle, &dimension, index));
}

bool ImageObject::GetFrameDelays(std::vector<std::int32_t>& delays) const {
    PropertyItemRecord item;
    if (!GetPropertyItem(PropertyTagFrameDelay, item))
        return false;
    delays.assign(item.value.size() / sizeof(std::int32_t), 0);
    if (!delays.empty())
        std::memcpy(delays.data(), item.value.data(), delays.size() * sizeof(std::int32_t));
    return true;
}

bool ImageObject::GetPropertyItem(std::uint32_t id, PropertyItemRecord& item) const {
    UINT size = 0;
    if (!RecordStatus(GdipGetPropertyItemSize(imageHandle, id, &size)))
        return false;
    NativeBlock block(std::max<std::size_t>(size, sizeof(PropertyItem)));
    auto* native = block.As<PropertyItem>();
    if (!RecordStatus(GdipGetPropertyItem(imageHandle, id, size, native)))
        return false;
    item.id = native->id;
    item.length = native->length;
    item.type = native->type;
    const auto* value = static_cast<const std::uint8_t*>(native->value);
    item.value = value ? ByteArray(value, value + native->length) : ByteArray();
    return true;
}

bool ImageObject::SetPropertyItem(const PropertyItemRecord& item) {
    // GDI+ copies the value; the length never claims more than the record holds.
    ByteArray value = item.value;
    PropertyItem native{};
    native.id = item.id;
    native.length = static_cast<ULONG>(std::min<std::size_t>(item.length, value.size()));
    native.type = item.type;
    native.value = value.empty() ? nullptr : value.data();
    return RecordStatus(GdipSetPropertyItem(imageHandle, &native));
}

bool ImageObject::RemovePropertyItem(std::uint32_t id) {
    return RecordStatus(GdipRemovePropertyItem(imageHandle, id));
}

std::uint32_t ImageObject::GetPropertyIdList(std::vector<std::uint32_t>& ids) const {
    UINT count = 0;
    if (!RecordStatus(GdipGetPropertyCount(imageHandle, &count)))
        return 0;
    ids.assign(count, 0);
    if (count == 0)
        return 0; // nothing to list; GDI+ refuses an empty list
    RecordStatus(GdipGetPropertyIdList(imageHandle, count, reinterpret_cast<PROPID*>(ids.data())));
    return count;
}

bool ImageObject::RotateFlip(int rotateFlipType) {
    return RecordStatus(GdipImageRotateFlip(imageHandle, static_cast<RotateFlipType>(rotateFlipType)));
}

bool ImageObject::GetPalette(PaletteRecord& palette) const {
    INT size = 0;
    if (!RecordStatus(GdipGetImagePaletteSize(imageHandle, &size)))
        return false;
    NativeBlock block(
        std::max<std::size_t>(static_cast<std::size_t>(std::max(size, 0)), sizeof(ColorPalette)));
    auto* native = block.As<ColorPalette>();
    if (!RecordStatus(GdipGetImagePalette(imageHandle, native, size)))
        return false;
    const std::size_t room = (block.Size() - offsetof(ColorPalette, Entries)) / sizeof(ARGB);
    palette.flags = native->Flags;
    palette.entries.assign(native->Entries, native->Entries + std::min<std::size_t>(native->Count, room));
    return true;
}

bool ImageObject::SetPalette(const PaletteRecord& palette) {
    NativeBlock block = MakeNativePalette(palette);
    return RecordStatus(GdipSetImagePalette(imageHandle, block.As<ColorPalette>()));
}

bool ImageObject::Dispose() {
    // The image goes before its stream: it may still hold and read it. A
    // stream left from a failed load is freed even though no image exists.
    const bool released = ReleaseWith(imageHandle, GdipDisposeImage);
    sourceStream.Close();
    return released;
}

bool ImageObject::LoadFromWidePath(const std::wstring& path, bool useColorManagement) {
    return Recreate(
        imageHandle, [this] { Dispose(); },
        [&](GpImage** created) {
            return useColorManagement ? GdipLoadImageFromFileICM(path.c_str(), created)
                                      : GdipLoadImageFromFile(path.c_str(), created);
        });
}

bool ImageObject::LoadFromFile(std::string_view path, bool useColorManagement) {
    return LoadFromWidePath(AnsiToWide(path), useColorManagement);
}

bool ImageObject::LoadFromFileW(const std::wstring& path, bool useColorManagement) {
    return LoadFromWidePath(path, useColorManagement);
}

bool ImageObject::LoadFromMemory(std::span<const std::uint8_t> bytes, bool useColorManagement) {
    const bool loaded = Recreate(
        imageHandle, [this] { Dispose(); },
        [&](GpImage** created) {
            IStream* stream = sourceStream.OpenFromBytes(bytes);
            return useColorManagement ? GdipLoadImageFromStreamICM(stream, created)
                                      : GdipLoadImageFromStream(stream, created);
        });
    // No image will ever read these bytes: keep none of them.
    if (!loaded)
        sourceStream.Close();
    return loaded;
}

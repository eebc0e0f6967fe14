#include "graphics/FontObjects.h"

#include "graphics/TextMarshalling.h"

using Gdiplus::GpFontCollection;
using Gdiplus::GpFontFamily;

namespace {

template <class Query> int DesignUnits(GpFontFamily* family, int style, Query query) {
    UINT16 value = 0;
    RecordStatus(query(family, style, &value));
    return value;
}

} // namespace

bool FontCollectionObject::Delete() {
    if (!handle)
        return false;
    if (!owned) {
        SetNativeHandle(nullptr);
        return true;
    }
    GpFontCollection* collection = handle;
    RecordStatus(GdipDeletePrivateFontCollection(&collection));
    SetNativeHandle(nullptr);
    return LastStatus == 0;
}

bool FontCollectionObject::CreatePrivate() {
    const bool created = Recreate(
        handle, [this] { Delete(); }, GdipNewPrivateFontCollection);
    owned = created;
    return created;
}

void FontCollectionObject::AttachPrivate(GpFontCollection* collection) {
    Delete();
    SetNativeHandle(collection);
    owned = collection != nullptr;
}

bool FontCollectionObject::AddFontFile(std::string_view fileName) {
    return AddFontFileW(AnsiToWide(fileName));
}

bool FontCollectionObject::AddFontFileW(const std::wstring& fileName) {
    return RecordStatus(GdipPrivateAddFontFile(handle, fileName.c_str()));
}

int FontCollectionObject::GetFamilyCount() const {
    int count = 0;
    RecordStatus(GdipGetFontCollectionFamilyCount(handle, &count));
    return count;
}

int FontCollectionObject::GetFamilies(int count, std::vector<FontFamilyObject>& families) const {
    if (!RequirePositiveCount(count))
        return 0;
    std::vector<GpFontFamily*> found(static_cast<std::size_t>(count), nullptr);
    // Fresh wrappers replace the old ones, which release their families.
    families = std::vector<FontFamilyObject>(static_cast<std::size_t>(count));
    int foundCount = 0;
    if (!RecordStatus(GdipGetFontCollectionFamilyList(handle, count, found.data(), &foundCount)))
        return 0;
    const GpStatus listStatus = static_cast<GpStatus>(LastStatus);
    // The list lends the collection's own families; each wrapper releases
    // what it holds, so each takes a reference of its own.
    for (int i = 0; i < foundCount && i < count; ++i) {
        GpFontFamily* reference = nullptr;
        if (GdipCloneFontFamily(found[static_cast<std::size_t>(i)], &reference) == Gdiplus::Ok)
            families[static_cast<std::size_t>(i)].SetNativeHandle(reference);
    }
    RecordStatus(listStatus);
    return foundCount;
}

bool FontFamilyObject::Delete() {
    return ReleaseWith(handle, GdipDeleteFontFamily);
}

bool FontFamilyObject::CreateFromName(std::string_view name, const FontCollectionObject& collection) {
    return CreateFromNameW(AnsiToWide(name), collection);
}

bool FontFamilyObject::CreateFromNameW(const std::wstring& name, const FontCollectionObject& collection) {
    return Recreate(
        handle, [this] { Delete(); },
        [&](GpFontFamily** created) {
            return GdipCreateFontFamilyFromName(name.c_str(), NativeOf<GpFontCollection>(collection),
                                                created);
        });
}

bool FontFamilyObject::CreateGenericSansSerif() {
    return Recreate(
        handle, [this] { Delete(); }, GdipGetGenericFontFamilySansSerif);
}

bool FontFamilyObject::CreateGenericSerif() {
    return Recreate(
        handle, [this] { Delete(); }, GdipGetGenericFontFamilySerif);
}

bool FontFamilyObject::CreateGenericMonospace() {
    return Recreate(
        handle, [this] { Delete(); }, GdipGetGenericFontFamilyMonospace);
}

bool FontFamilyObject::Clone(FontFamilyObject& target) const {
    GpFontFamily* cloned = nullptr;
    const GpStatus status = GdipCloneFontFamily(handle, &cloned);
    target.Delete();
    target.SetNativeHandle(cloned);
    return RecordStatus(status);
}

std::string FontFamilyObject::GetName() const {
    return WideToAnsi(GetNameW());
}

std::wstring FontFamilyObject::GetNameW() const {
    WCHAR name[LF_FACESIZE] = {};
    RecordStatus(GdipGetFamilyName(handle, name, LANG_NEUTRAL));
    name[LF_FACESIZE - 1] = L'\0';
    return name;
}

bool FontFamilyObject::IsStyleAvailable(int style) const {
    BOOL available = FALSE;
    RecordStatus(GdipIsStyleAvailable(handle, style, &available));
    return available != FALSE;
}

int FontFamilyObject::GetEmHeight(int style) const {
    return DesignUnits(handle, style, GdipGetEmHeight);
}
int FontFamilyObject::GetCellAscent(int style) const {
    return DesignUnits(handle, style, GdipGetCellAscent);
}
int FontFamilyObject::GetCellDescent(int style) const {
    return DesignUnits(handle, style, GdipGetCellDescent);
}
int FontFamilyObject::GetLineSpacing(int style) const {
    return DesignUnits(handle, style, GdipGetLineSpacing);
}

#pragma once
// Font collections and font families.
//
// A FontFamilyObject owns one reference to its native family and releases it
// when destroyed: the clock makes a family every frame, so keeping them would
// leak one a second.
//
// A FontCollectionObject with handle 0 stands for the installed fonts. A
// handle given through SetNativeHandle (such as the installed collection,
// which GDI+ keeps for the whole process) is borrowed and only forgotten; a
// private collection made by CreatePrivate or handed over by AttachPrivate is
// owned and deleted with the object.
#include "graphics/GraphicsObjectBase.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

class FontFamilyObject;

class FontCollectionObject : public SingleLevelObject<Gdiplus::GpFontCollection> {
public:
    using GpFontCollection = Gdiplus::GpFontCollection;

    FontCollectionObject() = default;
    ~FontCollectionObject() override { Delete(); }

    // Deletes an owned private collection; a borrowed handle is only cleared.
    bool Delete();
    bool CreatePrivate();
    // Takes ownership of a private collection made elsewhere.
    void AttachPrivate(GpFontCollection* collection);
    bool AddFontFile(std::string_view fileName);
    bool AddFontFileW(const std::wstring& fileName);
    bool OwnsHandle() const { return owned; }

    int GetFamilyCount() const;
    // Replaces families with exactly count empty wrappers, then gives the
    // first found of them a family each. Answers the number found; a count of
    // zero or less changes nothing and answers 0 with status 2.
    int GetFamilies(int count, std::vector<FontFamilyObject>& families) const;

protected:
    void StoreHandle(NativeHandle nativeHandle) override {
        SingleLevelObject::StoreHandle(nativeHandle);
        owned = false;
    }

private:
    bool owned = false;
};

class FontFamilyObject : public SingleLevelObject<Gdiplus::GpFontFamily> {
public:
    FontFamilyObject() = default;
    ~FontFamilyObject() override { Delete(); }

    bool Delete();
    // An empty collection wrapper means the installed fonts.
    bool CreateFromName(std::string_view name, const FontCollectionObject& collection);
    bool CreateFromNameW(const std::wstring& name, const FontCollectionObject& collection);
    bool CreateGenericSansSerif();
    bool CreateGenericSerif();
    bool CreateGenericMonospace();
    // Gives target its own reference to this family; target's previous family is released.
    bool Clone(FontFamilyObject& target) const;

    // The family name in the ANSI code page (the one names are given in).
    std::string GetName() const;
    // The family name as GDI+ wrote it, up to its terminator.
    std::wstring GetNameW() const;
    bool IsStyleAvailable(int style) const;
    int GetEmHeight(int style) const;
    int GetCellAscent(int style) const;
    int GetCellDescent(int style) const;
    int GetLineSpacing(int style) const;
};

#pragma once
// Common base of the graphics wrapper classes.
//
// Conventions every wrapper keeps:
// - A wrapper owns at most one native GDI+ object; its destructor releases it
//   (font families and collections included). Copying is impossible, so no
//   native object can be released twice.
// - All handle fields of one object hold the same value. They change only
//   through SetNativeHandle -> StoreHandle (-> StoreLevel2Handle in the
//   classes with a second level: brushes, images, graphics contexts).
// - Every GDI+ call stores its status in LastStatus; actions answer whether
//   the status is Ok, getters answer the value GDI+ wrote (or the default the
//   wrapper put there before the call).
// - Create, load and clone-into operations release what the object holds
//   first, then spread the new handle (0 after a failure) through the chain.
// - An operation that takes another wrapper passes its GetNativeHandle().
#include "graphics/GdiPlusFlat.h"
#include "graphics/LastStatus.h"

#include <cstddef>

using NativeHandle = void*; // pointer-sized on 32-bit and 64-bit Windows

class GraphicsObjectBase {
public:
    GraphicsObjectBase() = default;
    virtual ~GraphicsObjectBase() = default;
    GraphicsObjectBase(const GraphicsObjectBase&) = delete;
    GraphicsObjectBase& operator=(const GraphicsObjectBase&) = delete;

    NativeHandle GetNativeHandle() const { return baseHandle; }

    void SetNativeHandle(NativeHandle nativeHandle) {
        baseHandle = nativeHandle;
        StoreHandle(nativeHandle);
    }

    static void* Alloc(std::size_t size) { return GdipAlloc(size); }
    static void Free(void* block) { GdipFree(block); }

protected:
    // Level-1 store: writes the class's own handle field. Two-level classes
    // call StoreLevel2Handle from here with the same handle.
    virtual void StoreHandle(NativeHandle nativeHandle) = 0;

    // Level-2 store of the two-level classes; single-level classes have no
    // second field to write.
    virtual void StoreLevel2Handle(NativeHandle) {}

    // The create rule: release what is held (through the class's release
    // operation), construct into a fresh handle, spread it through the chain.
    template <class Native, class Release, class Construct>
    bool Recreate(Native* held, Release release, Construct construct) {
        if (held)
            release();
        Native* created = nullptr;
        RecordStatus(construct(&created));
        SetNativeHandle(LastStatus == 0 ? created : nullptr);
        return LastStatus == 0;
    }

    // The release rule: nothing held answers false without a call;
    // otherwise delete, record, clear the chain.
    template <class Native, class Delete> bool ReleaseWith(Native* held, Delete deleteNative) {
        if (!held)
            return false;
        RecordStatus(deleteNative(held));
        SetNativeHandle(nullptr);
        return LastStatus == 0;
    }

    NativeHandle baseHandle = nullptr;
};

// The native object of a wrapper argument, typed for the flat function.
template <class Native> Native* NativeOf(const GraphicsObjectBase& wrapper) {
    return static_cast<Native*>(wrapper.GetNativeHandle());
}

// Optional wrapper arguments (image attributes): absent passes 0.
template <class Native> Native* NativeOf(const GraphicsObjectBase* wrapper) {
    return wrapper ? NativeOf<Native>(*wrapper) : nullptr;
}

// A wrapper with one level: baseHandle and the class's own typed handle.
template <class Native> class SingleLevelObject : public GraphicsObjectBase {
public:
    Native* Handle() const { return handle; }
    bool IsValid() const { return handle != nullptr; }

protected:
    void StoreHandle(NativeHandle nativeHandle) override { handle = static_cast<Native*>(nativeHandle); }

    Native* handle = nullptr;
};

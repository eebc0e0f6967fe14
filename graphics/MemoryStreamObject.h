#pragma once
// A movable global memory block with a COM stream over it: how GDI+ reads an
// image held in memory and writes an encoded one back.
//
// Conventions:
// - The object owns both the block and the stream; Close (and so the
//   destructor) releases the stream first, then frees the block. Streams are
//   made without delete-on-release precisely so that freeing the block stays
//   the object's job.
// - Copying is impossible; an ImageObject owns exactly one of these.
// - Nothing here touches LastStatus: these are kernel and COM calls.
#include <windows.h>
#include <objidl.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

using ByteArray = std::vector<std::uint8_t>;

class MemoryStreamObject {
public:
    MemoryStreamObject() = default;
    ~MemoryStreamObject();
    MemoryStreamObject(const MemoryStreamObject&) = delete;
    MemoryStreamObject& operator=(const MemoryStreamObject&) = delete;

    // Copies the bytes into a fresh zero-initialised movable block and opens
    // a stream on it. A length longer than the bytes leaves the rest zero; a
    // shorter one copies only that many. Answers the stream, or null.
    IStream* OpenFromBytes(std::span<const std::uint8_t> bytes, std::optional<std::size_t> length = {});

    // Releases the stream, then frees the block. Does nothing when closed.
    void Close();

    std::size_t GetSize() const;
    IStream* GetStream() const { return stream; }
    HGLOBAL GetBlock() const { return block; }

    // Takes over one reference to a stream made on a global block (by
    // CreateStreamOnHGlobal without delete-on-release). The stream is held
    // even when it has no block; the answer says whether a block was found.
    bool AttachStream(IStream* attached);

    // The whole block, as many bytes as GlobalSize reports.
    ByteArray ReadAllBytes() const;

private:
    HGLOBAL block = nullptr;
    void* lockedPointer = nullptr;
    IStream* stream = nullptr;
};

#include "graphics/MemoryStreamObject.h"

#include <algorithm>
#include <cstring>
#include <utility>

MemoryStreamObject::~MemoryStreamObject() {
    Close();
}

IStream* MemoryStreamObject::OpenFromBytes(std::span<const std::uint8_t> bytes,
                                           std::optional<std::size_t> length) {
    Close();
    const std::size_t size = length.value_or(bytes.size());
    block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
    if (!block)
        return nullptr;
    if (FAILED(CreateStreamOnHGlobal(block, FALSE, &stream)) || !stream) {
        // A block without a stream would outlive every Close; free it now.
        stream = nullptr;
        GlobalFree(std::exchange(block, nullptr));
        return nullptr;
    }
    lockedPointer = GlobalLock(block);
    if (lockedPointer) {
        if (!bytes.empty())
            std::memcpy(lockedPointer, bytes.data(), std::min(size, bytes.size()));
        GlobalUnlock(block);
        lockedPointer = nullptr;
    }
    return stream;
}

void MemoryStreamObject::Close() {
    // The stream goes first: it must not outlive the block it reads.
    if (stream)
        std::exchange(stream, nullptr)->Release();
    if (block)
        GlobalFree(std::exchange(block, nullptr));
    lockedPointer = nullptr;
}

std::size_t MemoryStreamObject::GetSize() const {
    return block ? GlobalSize(block) : 0;
}

bool MemoryStreamObject::AttachStream(IStream* attached) {
    Close();
    stream = attached;
    if (!stream)
        return false;
    HGLOBAL found = nullptr;
    if (FAILED(GetHGlobalFromStream(stream, &found)))
        found = nullptr;
    block = found;
    return block != nullptr;
}

ByteArray MemoryStreamObject::ReadAllBytes() const {
    if (!block)
        return {};
    const std::size_t size = GlobalSize(block);
    const void* data = GlobalLock(block);
    if (!data)
        return {};
    ByteArray bytes(static_cast<const std::uint8_t*>(data), static_cast<const std::uint8_t*>(data) + size);
    GlobalUnlock(block);
    return bytes;
}

#include "graphics/MemoryStreamObject.h"

#include "ImageTestSupport.h"

#include <gtest/gtest.h>

#include <shlwapi.h>

#include <optional>

using image_test::GlobalBlockFreed;

namespace {

const ByteArray SampleBytes = {0x89, 'P', 'N', 'G', 0x00, 0xFF, 0x10, 0x20, 0x30};

ByteArray ReadThroughStream(IStream* stream, std::size_t count) {
    ByteArray bytes(count);
    ULONG read = 0;
    LARGE_INTEGER start{};
    stream->Seek(start, STREAM_SEEK_SET, nullptr);
    stream->Read(bytes.data(), static_cast<ULONG>(count), &read);
    bytes.resize(read);
    return bytes;
}

TEST(MemoryStreamObject, CloseOnNeverOpenedObjectDoesNothing) {
    MemoryStreamObject object;
    object.Close();
    object.Close();
    EXPECT_EQ(object.GetStream(), nullptr);
    EXPECT_EQ(object.GetBlock(), nullptr);
    EXPECT_EQ(object.GetSize(), 0u);
    EXPECT_TRUE(object.ReadAllBytes().empty());
}

TEST(MemoryStreamObject, OpenFromBytesThenReadAllBytesReturnsTheSameBytes) {
    MemoryStreamObject object;
    IStream* stream = object.OpenFromBytes(SampleBytes);
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(object.GetStream(), stream);
    EXPECT_EQ(object.GetSize(), SampleBytes.size());
    EXPECT_EQ(object.ReadAllBytes(), SampleBytes);
    // The stream reads the same block, from its start.
    EXPECT_EQ(ReadThroughStream(stream, SampleBytes.size()), SampleBytes);
}

TEST(MemoryStreamObject, BlockIsMovableAndBehindTheStream) {
    MemoryStreamObject object;
    object.OpenFromBytes(SampleBytes);
    HGLOBAL block = object.GetBlock();
    ASSERT_NE(block, nullptr);
    // A fixed block's handle is its address; a movable one's is not.
    void* address = GlobalLock(block);
    EXPECT_NE(address, static_cast<void*>(block));
    GlobalUnlock(block);
    HGLOBAL behindStream = nullptr;
    ASSERT_HRESULT_SUCCEEDED(GetHGlobalFromStream(object.GetStream(), &behindStream));
    EXPECT_EQ(behindStream, block);
}

struct LengthCase {
    const char* name;
    std::optional<std::size_t> length;
    ByteArray expected;
};

TEST(MemoryStreamObject, LengthChoosesBlockSizeAndZeroFillsTheRest) {
    const ByteArray bytes = {1, 2, 3, 4};
    const LengthCase cases[] = {
        {"omitted: the bytes' own length", std::nullopt, {1, 2, 3, 4}},
        {"equal", 4, {1, 2, 3, 4}},
        {"longer: zero-initialised tail", 7, {1, 2, 3, 4, 0, 0, 0}},
        {"shorter: only that many copied", 2, {1, 2}},
    };
    for (const LengthCase& c : cases) {
        SCOPED_TRACE(c.name);
        MemoryStreamObject object;
        ASSERT_NE(object.OpenFromBytes(bytes, c.length), nullptr);
        EXPECT_EQ(object.GetSize(), c.expected.size());
        EXPECT_EQ(object.ReadAllBytes(), c.expected);
    }
}

TEST(MemoryStreamObject, CloseReleasesStreamAndFreesBlock) {
    MemoryStreamObject object;
    IStream* stream = object.OpenFromBytes(SampleBytes);
    HGLOBAL block = object.GetBlock();
    // An extra reference shows how many the object gave back.
    stream->AddRef();
    object.Close();
    EXPECT_EQ(object.GetStream(), nullptr);
    EXPECT_EQ(object.GetBlock(), nullptr);
    EXPECT_EQ(object.GetSize(), 0u);
    EXPECT_TRUE(GlobalBlockFreed(block));
    EXPECT_EQ(stream->Release(), 0u);
}

TEST(MemoryStreamObject, OpeningAgainClosesThePreviousStreamAndBlock) {
    MemoryStreamObject object;
    IStream* first = object.OpenFromBytes(SampleBytes);
    HGLOBAL firstBlock = object.GetBlock();
    first->AddRef();
    object.OpenFromBytes(ByteArray{7, 8});
    EXPECT_EQ(first->Release(), 0u);
    // The allocator may hand the freed handle straight to the new block.
    EXPECT_TRUE(GlobalBlockFreed(firstBlock) || object.GetBlock() == firstBlock);
    EXPECT_EQ(object.ReadAllBytes(), (ByteArray{7, 8}));
}

TEST(MemoryStreamObject, DestructorFreesTheBlock) {
    HGLOBAL block = nullptr;
    {
        MemoryStreamObject object;
        object.OpenFromBytes(SampleBytes);
        block = object.GetBlock();
        ASSERT_FALSE(GlobalBlockFreed(block));
    }
    EXPECT_TRUE(GlobalBlockFreed(block));
}

TEST(MemoryStreamObject, AttachStreamTakesOverAnHGlobalStream) {
    IStream* stream = nullptr;
    ASSERT_HRESULT_SUCCEEDED(CreateStreamOnHGlobal(nullptr, FALSE, &stream));
    ULONG written = 0;
    stream->Write(SampleBytes.data(), static_cast<ULONG>(SampleBytes.size()), &written);
    HGLOBAL block = nullptr;
    GetHGlobalFromStream(stream, &block);

    MemoryStreamObject object;
    EXPECT_TRUE(object.AttachStream(stream));
    EXPECT_EQ(object.GetStream(), stream);
    EXPECT_EQ(object.GetBlock(), block);
    const ByteArray all = object.ReadAllBytes();
    ASSERT_GE(all.size(), SampleBytes.size());
    EXPECT_TRUE(std::equal(SampleBytes.begin(), SampleBytes.end(), all.begin()));
    object.Close();
    EXPECT_TRUE(GlobalBlockFreed(block));
}

TEST(MemoryStreamObject, AttachStreamWithoutBlockHoldsTheStreamAndAnswersFalse) {
    IStream* stream = SHCreateMemStream(nullptr, 0);
    ASSERT_NE(stream, nullptr);
    stream->AddRef();
    MemoryStreamObject object;
    object.OpenFromBytes(SampleBytes);
    HGLOBAL previous = object.GetBlock();

    EXPECT_FALSE(object.AttachStream(stream));
    EXPECT_TRUE(GlobalBlockFreed(previous));
    EXPECT_EQ(object.GetStream(), stream);
    EXPECT_EQ(object.GetBlock(), nullptr);
    EXPECT_TRUE(object.ReadAllBytes().empty());
    object.Close();
    EXPECT_EQ(stream->Release(), 0u); // Close released the reference it took over
}

TEST(MemoryStreamObject, AttachNullStreamLeavesObjectClosed) {
    MemoryStreamObject object;
    object.OpenFromBytes(SampleBytes);
    EXPECT_FALSE(object.AttachStream(nullptr));
    EXPECT_EQ(object.GetStream(), nullptr);
    EXPECT_EQ(object.GetBlock(), nullptr);
}

TEST(MemoryStreamObject, EmptyBytesGiveAnEmptyStream) {
    MemoryStreamObject object;
    IStream* stream = object.OpenFromBytes(ByteArray{});
    ASSERT_NE(stream, nullptr);
    EXPECT_EQ(object.GetSize(), 0u);
    EXPECT_TRUE(object.ReadAllBytes().empty());
    // The stream grows its block when written.
    const std::uint8_t byte = 42;
    ULONG written = 0;
    ASSERT_HRESULT_SUCCEEDED(stream->Write(&byte, 1, &written));
    HGLOBAL block = nullptr;
    GetHGlobalFromStream(stream, &block);
    EXPECT_EQ(block, object.GetBlock());
    const ByteArray all = object.ReadAllBytes();
    ASSERT_FALSE(all.empty());
    EXPECT_EQ(all[0], 42);
}

} // namespace

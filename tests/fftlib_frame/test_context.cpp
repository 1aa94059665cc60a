// The per-thread record, the work-buffer cache and the aligned
// allocation (through the internal library).
#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <thread>
#include <vector>

#include "halvex_internal.h"
#if !defined(_WIN32)
#include "tls_posix.h"
#endif

namespace {

bool aligned32(const void* p) { return reinterpret_cast<uintptr_t>(p) % 32 == 0; }

// Every test starts from an empty record of its own thread.
class FrameContext : public ::testing::Test {
protected:
    void SetUp() override {
        clearAlignedAllocFailure();
        releaseContextResources(getThreadContext());
    }
    void TearDown() override {
        clearAlignedAllocFailure();
        releaseContextResources(getThreadContext());
    }
};

TEST_F(FrameContext, NewAndResetRecordsStartZeroWithTheDefaultHandler) {
    ThreadContext* ctx = createThreadContext();
    ASSERT_NE(ctx, nullptr);
    EXPECT_EQ(ctx->status, 0);
    EXPECT_EQ(ctx->errorMode, 0);
    EXPECT_EQ(ctx->errorHandler, &defaultErrorHandler);
    for (int i = 0; i < orderSlots; ++i) {
        EXPECT_EQ(ctx->bitRevTables[i], nullptr);
        EXPECT_EQ(ctx->largeTables[i], nullptr);
        EXPECT_EQ(ctx->leafTables[i], nullptr);
        EXPECT_EQ(ctx->splitRadixTables[i], nullptr);
    }
    for (int i = 0; i < workBufferSlots; ++i) {
        EXPECT_EQ(ctx->workBufferCapacity[i], 0);
        EXPECT_EQ(ctx->workBuffers[i], nullptr);
    }
    ctx->status = -5;
    ctx->errorMode = 3;
    ctx->errorHandler = nullptr;
    initThreadContext(ctx);
    EXPECT_EQ(ctx->status, 0);
    EXPECT_EQ(ctx->errorMode, 0);
    EXPECT_EQ(ctx->errorHandler, &defaultErrorHandler);
    initThreadContext(nullptr);
    destroyThreadContext(ctx);
    destroyThreadContext(nullptr);
}

TEST_F(FrameContext, CreateThreadContextFailsWhenTheHeapRefuses) {
    setContextAllocFailure(true);
    EXPECT_EQ(createThreadContext(), nullptr);
    setContextAllocFailure(false);
    ThreadContext* ctx = createThreadContext();
    EXPECT_NE(ctx, nullptr);
    destroyThreadContext(ctx);
}

// A thread that never touched the library gets a fresh record on its first
// call (the lazy path of getThreadContext), and the same one on its second.
TEST_F(FrameContext, AThreadGetsItsOwnRecordLazily) {
    ThreadContext* mine = getThreadContext();
    EXPECT_EQ(peekThreadContext(), mine);
    EXPECT_EQ(getThreadContext(), mine);
    mine->status = -5;
    ThreadContext* before = reinterpret_cast<ThreadContext*>(1);
    ThreadContext* first = nullptr;
    ThreadContext* second = nullptr;
    int32_t freshStatus = 1;
    std::thread worker([&] {
        before = peekThreadContext();
        first = getThreadContext();
        freshStatus = first->status;
        second = getThreadContext();
    });
    worker.join();
    EXPECT_EQ(before, nullptr);
    ASSERT_NE(first, nullptr);
    EXPECT_NE(first, mine);
    EXPECT_EQ(second, first);
    EXPECT_EQ(freshStatus, 0);
    EXPECT_EQ(mine->status, -5);
    mine->status = 0;
}

#if !defined(_WIN32)
// The lookup keeps the thread's record at hand: once the thread has released
// it (as at unload), the next call must build a new record, not hand back the
// released one.
TEST_F(FrameContext, AReleasedRecordIsNotHandedOutAgain) {
    ThreadContext* afterRelease = reinterpret_cast<ThreadContext*>(1);
    ThreadContext* again = nullptr;
    ThreadContext* peeked = nullptr;
    int32_t freshStatus = 1;
    std::thread worker([&] {
        getThreadContext()->status = -7;
        releaseOwnContext();
        afterRelease = peekThreadContext();
        again = getThreadContext();
        freshStatus = again->status;
        peeked = peekThreadContext();
    });
    worker.join();
    EXPECT_EQ(afterRelease, nullptr);
    ASSERT_NE(again, nullptr);
    EXPECT_EQ(freshStatus, 0);
    EXPECT_EQ(peeked, again);
}
#endif

TEST_F(FrameContext, WorkBufferGrowsAndIsReused) {
    ThreadContext* ctx = getThreadContext();
    void* big = getWorkBuffer(16384, 3);
    ASSERT_NE(big, nullptr);
    EXPECT_TRUE(aligned32(big));
    EXPECT_EQ(ctx->workBuffers[3], big);
    EXPECT_EQ(ctx->workBufferCapacity[3], 16384);
    std::memset(big, 0xA5, 16384 * 8);  // the whole capacity is usable

    EXPECT_EQ(getWorkBuffer(1024, 3), big);  // smaller request: the same block
    EXPECT_EQ(ctx->workBufferCapacity[3], 16384);
    EXPECT_EQ(getWorkBuffer(16384, 3), big);

    void* bigger = getWorkBuffer(32768, 3);
    ASSERT_NE(bigger, nullptr);
    EXPECT_TRUE(aligned32(bigger));
    EXPECT_EQ(ctx->workBuffers[3], bigger);
    EXPECT_EQ(ctx->workBufferCapacity[3], 32768);
    std::memset(bigger, 0x5A, 32768 * 8);

    // The other slots are independent.
    void* zero = getWorkBuffer(10, 0);
    void* four = getWorkBuffer(10, 4);
    ASSERT_NE(zero, nullptr);
    ASSERT_NE(four, nullptr);
    EXPECT_NE(zero, four);
    EXPECT_EQ(ctx->workBufferCapacity[0], 10);
    EXPECT_EQ(ctx->workBufferCapacity[4], 10);
    EXPECT_EQ(ctx->workBuffers[3], bigger);
}

TEST_F(FrameContext, BadCountsAndSlotsReturnNullAndChangeNothing) {
    ThreadContext* ctx = getThreadContext();
    void* buffer = getWorkBuffer(64, 3);
    ASSERT_NE(buffer, nullptr);
    const int64_t live = alignedAllocLiveBlocks();
    EXPECT_EQ(getWorkBuffer(0, 3), nullptr);
    EXPECT_EQ(getWorkBuffer(-1, 3), nullptr);
    EXPECT_EQ(getWorkBuffer(INT32_MIN, 3), nullptr);
    EXPECT_EQ(getWorkBuffer(10, 5), nullptr);
    EXPECT_EQ(getWorkBuffer(10, -1), nullptr);
    EXPECT_EQ(getWorkBuffer(10, INT32_MAX), nullptr);
    EXPECT_EQ(ctx->workBuffers[3], buffer);
    EXPECT_EQ(ctx->workBufferCapacity[3], 64);
    for (int slot = 0; slot < workBufferSlots; ++slot) {
        if (slot == 3) continue;
        EXPECT_EQ(ctx->workBuffers[slot], nullptr);
        EXPECT_EQ(ctx->workBufferCapacity[slot], 0);
    }
    EXPECT_EQ(alignedAllocLiveBlocks(), live);
}

TEST_F(FrameContext, ReleaseWorkBuffer) {
    ThreadContext* ctx = getThreadContext();
    releaseWorkBuffer(3);  // empty slot: stays empty
    EXPECT_EQ(ctx->workBuffers[3], nullptr);
    EXPECT_EQ(ctx->workBufferCapacity[3], 0);
    ASSERT_NE(getWorkBuffer(100, 3), nullptr);
    ASSERT_NE(getWorkBuffer(100, 2), nullptr);
    const int64_t live = alignedAllocLiveBlocks();
    releaseWorkBuffer(7);   // does nothing
    releaseWorkBuffer(-1);  // does nothing
    EXPECT_EQ(alignedAllocLiveBlocks(), live);
    releaseWorkBuffer(3);
    EXPECT_EQ(ctx->workBuffers[3], nullptr);
    EXPECT_EQ(ctx->workBufferCapacity[3], 0);
    EXPECT_NE(ctx->workBuffers[2], nullptr);
    EXPECT_EQ(alignedAllocLiveBlocks(), live - 1);
}

TEST_F(FrameContext, FailedGrowthLeavesTheSlotEmpty) {
    ThreadContext* ctx = getThreadContext();
    ASSERT_NE(getWorkBuffer(1024, 3), nullptr);
    setAlignedAllocFailure(0, 1);
    EXPECT_EQ(getWorkBuffer(16384, 3), nullptr);
    EXPECT_EQ(ctx->workBuffers[3], nullptr);  // the smaller buffer is gone
    EXPECT_EQ(ctx->workBufferCapacity[3], 0);
    void* again = getWorkBuffer(16384, 3);  // the hook's one failure is used up
    EXPECT_NE(again, nullptr);
    EXPECT_EQ(ctx->workBufferCapacity[3], 16384);
}

TEST_F(FrameContext, EveryAlignedBlockIsAMultipleOf32) {
    std::vector<void*> blocks;
    for (size_t bytes = 0; bytes <= 300; ++bytes) blocks.push_back(alignedAlloc(bytes));
    for (size_t count = 0; count <= 100; ++count) blocks.push_back(alignedAlloc4(count));
    for (size_t count = 0; count <= 100; ++count) blocks.push_back(alignedAlloc8(count));
    blocks.push_back(alignedAlloc(1 << 20));
    for (void* block : blocks) {
        ASSERT_NE(block, nullptr);
        EXPECT_TRUE(aligned32(block)) << block;
    }
    // Writing the whole requested size of every block is fine (checked by the
    // sanitizers), and each block is freed through the address stored below it.
    for (size_t bytes = 0; bytes <= 300; ++bytes) std::memset(blocks[bytes], 0xFF, bytes);
    for (void* block : blocks) alignedFree(block);
    alignedFree(nullptr);  // does nothing
}

TEST_F(FrameContext, HugeSizesReturnNullInsteadOfWrapping) {
    const int64_t live = alignedAllocLiveBlocks();
    EXPECT_EQ(alignedAlloc(SIZE_MAX), nullptr);
    EXPECT_EQ(alignedAlloc(SIZE_MAX - 8), nullptr);
    EXPECT_EQ(alignedAlloc(SIZE_MAX - 32 - sizeof(void*) + 1), nullptr);
    EXPECT_EQ(alignedAlloc4(SIZE_MAX / 4 + 1), nullptr);
    EXPECT_EQ(alignedAlloc4(SIZE_MAX), nullptr);
    EXPECT_EQ(alignedAlloc8(SIZE_MAX / 8 + 1), nullptr);
    EXPECT_EQ(alignedAlloc8(SIZE_MAX / 8 + 3), nullptr);  // would wrap to a small size
    EXPECT_EQ(alignedAllocLiveBlocks(), live);
}

// The frame's own clean-up frees every block of the four caches and the
// work-buffer slots (thread end and unload use it).
TEST_F(FrameContext, ReleasingTheRecordFreesEveryTableAndBuffer) {
    ThreadContext* ctx = createThreadContext();
    ASSERT_NE(ctx, nullptr);
    const int64_t live = alignedAllocLiveBlocks();
    for (int order = 0; order < orderSlots; order += 3) {
        ctx->bitRevTables[order] = alignedAlloc4(4);
        ctx->largeTables[order] = alignedAlloc8(4);
        ctx->leafTables[order] = alignedAlloc8(4);
        ctx->splitRadixTables[order] = alignedAlloc8(4);
    }
    for (int slot = 0; slot < workBufferSlots; ++slot) {
        ctx->workBuffers[slot] = alignedAlloc8(16);
        ctx->workBufferCapacity[slot] = 16;
    }
    EXPECT_GT(alignedAllocLiveBlocks(), live);
    releaseContextResources(ctx);
    EXPECT_EQ(alignedAllocLiveBlocks(), live);
    for (int order = 0; order < orderSlots; ++order) {
        EXPECT_EQ(ctx->bitRevTables[order], nullptr);
        EXPECT_EQ(ctx->largeTables[order], nullptr);
        EXPECT_EQ(ctx->leafTables[order], nullptr);
        EXPECT_EQ(ctx->splitRadixTables[order], nullptr);
    }
    for (int slot = 0; slot < workBufferSlots; ++slot) {
        EXPECT_EQ(ctx->workBuffers[slot], nullptr);
        EXPECT_EQ(ctx->workBufferCapacity[slot], 0);
    }
    ctx->leafTables[5] = alignedAlloc8(4);
    destroyThreadContext(ctx);  // tables and the record
    EXPECT_EQ(alignedAllocLiveBlocks(), live);
}

#if GTEST_HAS_DEATH_TEST && !defined(_WIN32)
// getThreadContext cannot allocate a record: the process ends with the text
// (FatalAppExitA on Windows; standard error and abort elsewhere).
TEST(FrameContextDeathTest, NoRecordEndsTheProcessWithTheText) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_DEATH(
        {
            std::thread worker([] {
                setContextAllocFailure(true);
                getThreadContext();
            });
            worker.join();
        },
        "Problem to allocate memory for TLS KFX context\\.");
}
#endif

}  // namespace

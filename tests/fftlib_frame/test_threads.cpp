// Many threads at once, each with its own record, its
// own status and buffers, and everything released when the thread ends.
// Runs under ThreadSanitizer in CI (label `threads`).
#include <gtest/gtest.h>

#include <atomic>
#include <cstdint>
#include <thread>
#include <vector>

#include "halvex_internal.h"

namespace {

constexpr int threadCount = 16;

int32_t returningHandler(int32_t status, const char*, const char*, const char*, int32_t) {
    return status;
}

TEST(FrameThreads, EveryThreadHasItsOwnRecordStatusAndBuffers) {
    const int64_t liveBefore = alignedAllocLiveBlocks();
    std::vector<ThreadContext*> records(threadCount, nullptr);
    std::vector<int> failures(threadCount, 0);
    std::atomic<int> ready{0};
    std::atomic<bool> go{false};
    std::vector<std::thread> threads;
    for (int t = 0; t < threadCount; ++t) {
        threads.emplace_back([&, t] {
            ready.fetch_add(1);
            while (!go.load()) std::this_thread::yield();
            ThreadContext* ctx = getThreadContext();
            records[t] = ctx;
            int bad = 0;
            if (ctx->status != 0 || ctx->errorMode != 0 || ctx->errorHandler != defaultErrorHandler) ++bad;
            setErrorHandler(returningHandler);
            for (int round = 0; round < 200; ++round) {
                const int32_t status = -(1 + (t + round) % 14);
                reportError(status, "kfxcrFftNip", "test", "kfxffts", t);
                if (status != -1 && status != -8 && ctx->status != status) ++bad;
                const int32_t count = 64 + 32 * ((t * 7 + round) % 50);
                char* buffer = static_cast<char*>(getWorkBuffer(count, round % workBufferSlots));
                if (buffer == nullptr || reinterpret_cast<uintptr_t>(buffer) % 32 != 0) {
                    ++bad;
                } else {
                    for (int32_t i = 0; i < count * 8; i += 64) buffer[i] = static_cast<char>(t);
                }
                if (round % 37 == 0) releaseWorkBuffer(round % workBufferSlots);
                if (round % 10 == 0) {
                    // Tables come and go like the engine's.
                    const int order = round % orderSlots;
                    alignedFree(ctx->leafTables[order]);
                    ctx->leafTables[order] = alignedAlloc8(16);
                    alignedFree(ctx->bitRevTables[order]);
                    ctx->bitRevTables[order] = alignedAlloc4(16);
                }
                if (getThreadContext() != ctx) ++bad;
            }
            failures[t] = bad;
            // The thread ends holding tables and buffers: its end releases them.
        });
    }
    while (ready.load() < threadCount) std::this_thread::yield();
    go.store(true);
    for (std::thread& thread : threads) thread.join();

    for (int t = 0; t < threadCount; ++t) {
        EXPECT_EQ(failures[t], 0) << "thread " << t;
        EXPECT_NE(records[t], nullptr);
    }
    EXPECT_EQ(alignedAllocLiveBlocks(), liveBefore) << "tables and buffers outlived their threads";
}

// Many threads call the export at once (the slot is read only); each result
// is checked.
TEST(FrameThreads, ManyThreadsCallTheExportAtOnce) {
    ASSERT_EQ(forceVariant(0), 1);  // before any thread starts
    std::vector<int> wrong(threadCount, 0);
    std::vector<std::thread> threads;
    for (int t = 0; t < threadCount; ++t) {
        threads.emplace_back([&, t] {
            const float reIn[2] = {static_cast<float>(t), 1.0f};
            const float imIn[2] = {0.0f, static_cast<float>(t)};
            for (int round = 0; round < 50; ++round) {
                float reOut[2] = {-1.0f, -1.0f};
                float imOut[2] = {-1.0f, -1.0f};
                kfxcrFftNip(reIn, imIn, reOut, imOut, 1, 1);
                if (reOut[0] != t + 1.0f || reOut[1] != t - 1.0f || imOut[0] != t ||
                    imOut[1] != -t) {
                    ++wrong[t];
                }
            }
        });
    }
    for (std::thread& thread : threads) thread.join();
    for (int t = 0; t < threadCount; ++t) EXPECT_EQ(wrong[t], 0) << "thread " << t;
}

}  // namespace

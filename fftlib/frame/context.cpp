// The per-thread record (creation, initialisation, release), the
// work-buffer cache and the aligned allocation. The platform files
// (tls_posix.cpp, tls_win32.cpp) keep the record in thread-local storage.
#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "halvex_internal.h"

#if defined(_WIN32)
#include <windows.h>
#endif

namespace {

// Test hooks of the calling thread (see halvex_internal.h).
thread_local int32_t allocSuccessesLeft = -1;  // -1: hook off
thread_local int32_t allocFailuresLeft = 0;    // < 0: fail for ever
thread_local bool contextAllocFails = false;

std::atomic<int64_t> liveBlocks{0};

// True when the hook says this allocation fails.
bool hookRefusesAllocation() {
    if (allocSuccessesLeft < 0) return false;
    if (allocSuccessesLeft > 0) {
        --allocSuccessesLeft;
        return false;
    }
    if (allocFailuresLeft == 0) {  // the failures are used up: normal again
        allocSuccessesLeft = -1;
        return false;
    }
    if (allocFailuresLeft > 0) --allocFailuresLeft;
    return true;
}

void freeBlockArray(void** slots, int count) {
    for (int i = 0; i < count; ++i) {
        alignedFree(slots[i]);
        slots[i] = nullptr;
    }
}

}  // namespace

// --- Aligned allocation ---

void* alignedAlloc(size_t bytes) {
    // The heap block holds the aligned block and, just below it, the heap
    // address in a pointer-sized slot: bytes + 32 + sizeof(void*) always
    // suffices ((heap + 31 + P) rounded down to 32 is at least heap + P).
    const size_t extra = 32 + sizeof(void*);
    if (bytes > SIZE_MAX - extra) return nullptr;
    if (hookRefusesAllocation()) return nullptr;
    void* heap = std::malloc(bytes + extra);
    if (heap == nullptr) return nullptr;
    const uintptr_t base = reinterpret_cast<uintptr_t>(heap);
    const uintptr_t aligned = (base + 31 + sizeof(void*)) & ~static_cast<uintptr_t>(31);
    void* block = reinterpret_cast<void*>(aligned);
    std::memcpy(static_cast<char*>(block) - sizeof(void*), &heap, sizeof(void*));
    liveBlocks.fetch_add(1, std::memory_order_relaxed);
    return block;
}

void* alignedAlloc4(size_t count) {
    if (count > SIZE_MAX / 4) return nullptr;
    return alignedAlloc(count * 4);
}

void* alignedAlloc8(size_t count) {
    if (count > SIZE_MAX / 8) return nullptr;
    return alignedAlloc(count * 8);
}

void alignedFree(void* p) {
    if (p == nullptr) return;
    void* heap;
    std::memcpy(&heap, static_cast<char*>(p) - sizeof(void*), sizeof(void*));
    std::free(heap);
    liveBlocks.fetch_sub(1, std::memory_order_relaxed);
}

void setAlignedAllocFailure(int32_t successes, int32_t failures) {
    allocSuccessesLeft = successes < 0 ? 0 : successes;
    allocFailuresLeft = failures;
    if (failures == 0) allocSuccessesLeft = -1;
}

void clearAlignedAllocFailure() {
    allocSuccessesLeft = -1;
    allocFailuresLeft = 0;
}

void setContextAllocFailure(bool fail) { contextAllocFails = fail; }

int64_t alignedAllocLiveBlocks() { return liveBlocks.load(std::memory_order_relaxed); }

// --- The record ---

ThreadContext* createThreadContext() {
    if (contextAllocFails) return nullptr;
#if defined(_WIN32)
    void* memory = LocalAlloc(LMEM_ZEROINIT, sizeof(ThreadContext));
#else
    void* memory = std::calloc(1, sizeof(ThreadContext));  // stands in for LMEM_ZEROINIT
#endif
    if (memory == nullptr) return nullptr;
    ThreadContext* ctx = static_cast<ThreadContext*>(memory);
    initThreadContext(ctx);
    return ctx;
}

void initThreadContext(ThreadContext* ctx) {
    if (ctx == nullptr) return;
    ctx->status = statusNoError;
    ctx->errorMode = 0;
    ctx->errorHandler = defaultErrorHandler;
    // The caches and buffers are null and the capacities 0 from the zero fill.
}

void releaseContextResources(ThreadContext* ctx) {
    if (ctx == nullptr) return;
    freeBlockArray(ctx->bitRevTables, orderSlots);
    freeBlockArray(ctx->largeTables, orderSlots);
    freeBlockArray(ctx->leafTables, orderSlots);
    freeBlockArray(ctx->splitRadixTables, orderSlots);
    freeBlockArray(ctx->workBuffers, workBufferSlots);
    for (int i = 0; i < workBufferSlots; ++i) ctx->workBufferCapacity[i] = 0;
}

void destroyThreadContext(ThreadContext* ctx) {
    if (ctx == nullptr) return;
    releaseContextResources(ctx);
#if defined(_WIN32)
    LocalFree(ctx);
#else
    std::free(ctx);
#endif
}

int32_t setErrorMode(int32_t mode) {
    ThreadContext* ctx = getThreadContext();
    const int32_t previous = ctx->errorMode;
    ctx->errorMode = mode;
    return previous;
}

ErrorHandler setErrorHandler(ErrorHandler handler) {
    ThreadContext* ctx = getThreadContext();
    const ErrorHandler previous = ctx->errorHandler;
    ctx->errorHandler = handler != nullptr ? handler : defaultErrorHandler;
    return previous;
}

// --- Work buffers ---

void* getWorkBuffer(int32_t count, int32_t slot) {
    if (count <= 0 || slot < 0 || slot >= workBufferSlots) return nullptr;
    ThreadContext* ctx = getThreadContext();
    if (ctx->workBuffers[slot] != nullptr) {
        if (count <= ctx->workBufferCapacity[slot]) return ctx->workBuffers[slot];
        alignedFree(ctx->workBuffers[slot]);
        ctx->workBuffers[slot] = nullptr;
        ctx->workBufferCapacity[slot] = 0;
    }
    void* block = alignedAlloc8(static_cast<size_t>(count));
    if (block == nullptr) return nullptr;
    ctx->workBuffers[slot] = block;
    ctx->workBufferCapacity[slot] = count;
    return block;
}

void releaseWorkBuffer(int32_t slot) {
    if (slot < 0 || slot >= workBufferSlots) return;
    ThreadContext* ctx = getThreadContext();
    alignedFree(ctx->workBuffers[slot]);
    ctx->workBuffers[slot] = nullptr;
    ctx->workBufferCapacity[slot] = 0;
}

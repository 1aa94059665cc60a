// Internal interface of halvex: the per-thread context, error reporting,
// aligned allocation and the processor dispatch. The shared library exports
// only kfxcrFftNip; the project's own tests and tools link the internal static
// library and reach everything declared here.
#pragma once
#include <cstddef>
#include <cstdint>

#if defined(_WIN32) && !defined(_WIN64)
#define HALVEX_STDCALL __stdcall
#else
#define HALVEX_STDCALL
#endif

enum {
    orderSlots = 32,      // table caches: one slot per order 0..31
    workBufferSlots = 5,  // work-buffer slots 0..4; the library uses slot 3
    vectorWorkSlot = 3
};

// Status codes (0 success, negative errors).
enum : int32_t {
    statusNoError = 0,
    statusBacktrace = -1,
    statusInternalError = -3,
    statusOutOfMemory = -4,
    statusBadArgument = -5,
    statusUnsupported = -6,
    statusNoConvergence = -7,
    statusAutotrace = -8,
    statusNullPointer = -10,
    statusBadPointer = -12,
    statusBadStructure = -13,
    statusBadLength = -14
};

typedef int32_t (*ErrorHandler)(int32_t status, const char* funcName, const char* context,
                                const char* file, int32_t line);

// Everything mutable in halvex, one record per thread, reached through TLS.
// All fields start at zero; the record owns every table and buffer it points to.
struct ThreadContext {
    int32_t status;                           // last status recorded by reportError
    int32_t errorMode;                        // 0: the default handler ends the process
    ErrorHandler errorHandler;                // called by reportError
    void* bitRevTables[orderSlots];           // BitRevTable per order, or null
    void* largeTables[orderSlots];            // LargeTable per order, or null
    void* leafTables[orderSlots];             // RadixFourTable or VectorTable per order, or null
    void* splitRadixTables[orderSlots];       // SplitRadixTable per order, or null
    int32_t workBufferCapacity[workBufferSlots];  // capacity in 8-byte elements; 0 when empty
    void* workBuffers[workBufferSlots];       // 32-byte aligned blocks, or null
};

// The signature of the export and of each variant's transform entry.
typedef void(HALVEX_STDCALL* TransformEntry)(const float* reInSamps, const float* imInSamps,
                                             float* reOutSamps, float* imOutSamps,
                                             int32_t order, int32_t flags);

// --- Per-thread context (library load and thread life cycle) ---

// The calling thread's record, created on first use; never null (the process
// ends when it cannot be allocated).
ThreadContext* getThreadContext();
// A new zero-filled, initialised record, or null.
ThreadContext* createThreadContext();
// Status 0, errorMode 0, the default handler; null does nothing.
void initThreadContext(ThreadContext* ctx);
// A buffer of at least count 8-byte elements from work-buffer slot 0..4, or null.
void* getWorkBuffer(int32_t count, int32_t slot);
// Releases the buffer of a slot 0..4 and empties it; other slots do nothing.
void releaseWorkBuffer(int32_t slot);

// --- Aligned allocation: every table and work buffer comes from here ---

// 32-byte aligned blocks from the runtime heap, or null. The three forms take a
// count of bytes, of 4-byte elements and of 8-byte elements.
void* alignedAlloc(size_t bytes);
void* alignedAlloc4(size_t count);
void* alignedAlloc8(size_t count);
// Releases a block from alignedAlloc; null does nothing.
void alignedFree(void* p);

// --- Error status and reporting ---

int32_t reportError(int32_t status, const char* funcName, const char* context,
                    const char* file, int32_t line);
int32_t defaultErrorHandler(int32_t status, const char* funcName, const char* context,
                            const char* file, int32_t line);
const char* statusText(int32_t status);

// Internal interface of halvex: the per-thread context, error reporting,
// aligned allocation and the processor dispatch. The shared library exports
// only kfxcrFftNip; the project's own tests and tools link the internal static
// library and reach everything declared here.
#pragma once
#include <cstddef>
#include <cstdint>

// The export, its type and calling convention (HALVEX_STDCALL) come from the
// public header: every variant body is stored as a TransformEntry, so a body
// that no longer matches the callers' declaration does not compile.
#include "halvex.h"

// The thread-local variables that every transform reads (POSIX): the
// initial-exec model reads them with one load from the thread pointer, where
// the general model calls __tls_get_addr (and makes its callers save their
// arguments around it); a few bytes of the static TLS that the C library
// keeps for libraries loaded later.
#if !defined(_WIN32) && defined(__GNUC__)
#define HALVEX_TLS_MODEL __attribute__((tls_model("initial-exec")))
#else
#define HALVEX_TLS_MODEL
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

// The public header names the two statuses the library reports and the flags
// by the values that reportError receives and the entry bodies test.
static_assert(HALVEX_STATUS_OUT_OF_MEMORY == statusOutOfMemory && HALVEX_STATUS_BAD_ARGUMENT == statusBadArgument,
              "halvex.h's statuses");
static_assert(HALVEX_FORWARD == 1 && HALVEX_INVERSE == 2 && HALVEX_INIT_ONLY == 4 && HALVEX_RELEASE == 8 &&
                  HALVEX_NO_SCALE == 16 && HALVEX_NATURAL_ORDER == 32 && HALVEX_INPUT_BITREV == 64 &&
                  HALVEX_OUTPUT_BITREV == 128 && HALVEX_MAX_ORDER == orderSlots - 1,
              "halvex.h's flags and orders: entry_body.inc tests these values");

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
typedef HalvexFftFunction TransformEntry;

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

// ===========================================================================
// The frame's own: the export, the processor dispatch,
// the release of a record, and the hooks through which the project's own
// tests and tools reach what the one export hides. None of this is exported
// from the shared library (everything but kfxcrFftNip is hidden).
// ===========================================================================

// The export kfxcrFftNip (declared in halvex.h) is a jump through the call
// slot (halvexCallSlot) that the dispatch writes at load.

// --- Per-thread context: release and inspection ---

#if !defined(_WIN32)
// POSIX: the calling thread's record as last stored under the TLS key, or
// null (tls_posix.cpp). getThreadContext reads it first, and the steady state
// of a transform reads it inline: the lookup then needs neither pthread_once
// nor pthread_getspecific, which together took about 4 ns (a twentieth of a
// 64-point transform, measured here). `__thread`, unlike thread_local, needs
// no initialisation wrapper where another file reads it.
extern __thread ThreadContext* halvexOwnContext HALVEX_TLS_MODEL;
#endif

// Releases every table (the four caches) and work buffer of ctx and clears the
// slots and capacities; the record itself stays. Null does nothing.
void releaseContextResources(ThreadContext* ctx);
// releaseContextResources, then releases the record itself (the local heap on
// Windows, the C heap elsewhere). Null does nothing. Only ever called for the
// calling thread's own record (thread end, library unload) or by tests.
void destroyThreadContext(ThreadContext* ctx);
// The calling thread's record if it has one, else null; never creates one.
ThreadContext* peekThreadContext();
// Convenience for tests and tools: set errorMode / errorHandler of the calling
// thread's record; each returns the previous value. A null handler installs
// defaultErrorHandler.
int32_t setErrorMode(int32_t mode);
ErrorHandler setErrorHandler(ErrorHandler handler);

// --- Aligned allocation: test hooks and accounting ---

// Test hook, per calling thread: after `successes` further successful
// alignedAlloc calls (any form), the next `failures` calls return null
// (failures < 0: every later call fails), then allocation is normal again.
// clearAlignedAllocFailure() switches the hook off.
void setAlignedAllocFailure(int32_t successes, int32_t failures);
void clearAlignedAllocFailure();
// Test hook, per calling thread: when on, createThreadContext fails (returns
// null) as if the heap refused the record.
void setContextAllocFailure(bool fail);
// Blocks from alignedAlloc not yet released, over the whole process.
int64_t alignedAllocLiveBlocks();

// --- Processor dispatch ---

enum { variantSlots = 6, processorClassNone = 6, preferenceRowLength = 7 };

struct ProcessorInfo {
    int32_t maxLeaf;  // EAX of CPUID leaf 0
    int32_t family;   // bits 8..11 of EAX of leaf 1 (extended family not consulted)
    int32_t hasMmx;   // EDX bit 23 of leaf 1
    int32_t hasSse;   // EDX bit 25
    int32_t hasSse2;  // EDX bit 26
    // For the register width of the vector variants only; the class ignores them.
    int32_t hasAvx;      // ECX bit 28 of leaf 1
    int32_t hasAvx2;     // EBX bit 5 of leaf 7 (0 when maxLeaf < 7)
    int32_t hasAvx512f;  // EBX bit 16 of leaf 7 (0 when maxLeaf < 7)
    uint32_t savedState; // XCR0 as XGETBV reads it (0 without OSXSAVE, ECX bit 27 of leaf 1)
};

// The generic address type of a dispatched function (each slot and
// implementation is converted to and from its real function type).
typedef void (*DispatchTarget)();

struct DispatchEntry {
    DispatchTarget* slot;                          // the call slot of one dispatched export
    DispatchTarget implementations[variantSlots];  // variants 0..5; null where missing
};

// Rows per class 0..5: the variants tried, in order, ended by 6.
extern const int32_t preferenceLists[variantSlots][preferenceRowLength];
// The library's dispatch table: one entry, the transform, whose slot is
// halvexCallSlot and whose implementations are variantEntries (copied in by
// runWaterfall and forceVariant).
extern DispatchEntry dispatchTable[];
extern const int32_t dispatchCount;
// The call slot of kfxcrFftNip: null until bound.
extern "C" DispatchTarget halvexCallSlot;

// CPUID leaves 0 and 1 into info (zeroed first), and for the register width
// leaf 7 and XCR0. 1 on success, 0 when leaf 1 is not available (maxLeaf 0;
// also on processors that are not x86).
int32_t probeProcessor(ProcessorInfo* info);
// Pure: the class 0..6 of a probed record (maxLeaf 0 means the probe failed: 6).
int32_t classifyProcessor(const ProcessorInfo& info);
// Probing form: runs the probe (or the test probe, see setProbeFunction) on a
// record of its own; 6 when the probe fails.
int32_t classifyProcessor();
// Writes implementation v of every entry of the library's table into its slot;
// 1 when all were present, 0 at the first missing one (earlier slots keep what
// was written) or for v outside 0..5.
int32_t bindVariant(int32_t v);
// The same over any table (tests use their own tables and slots).
int32_t bindVariantIn(const DispatchEntry* table, int32_t count, int32_t v);
// The walk of runWaterfall step 3 over any table: the variant bound, or -1
// when no value of the class's row binds (or the class is not 0..5, or
// count is 0).
int32_t walkPreferenceList(const DispatchEntry* table, int32_t count, int32_t processorClass);
// The Waterfall: copies variantEntries into dispatchTable, classifies, walks
// the class's row. 1 when a variant was bound, 0 after the failure message
// (" No ZAdu matching to CPU was found during the Waterfall", "Set ZAdu error").
int32_t runWaterfall();
// The variant the last successful runWaterfall/forceVariant bound, or -1.
int32_t boundVariant();
// What the library binds for a class on this build, without writing any slot:
// the walk over a copy of the real table. -1 when nothing binds.
int32_t variantForClass(int32_t processorClass);
// Pure: 1 when a processor of this record executes variant v's instructions
// (0 to 3 x87 alone, 4 SSE, 5 SSE2), else 0 (also for v outside 0..5). The
// classes never bind one it cannot; forcing one makes the next transform fault.
int32_t processorRunsVariant(const ProcessorInfo& info, int32_t v);
// Test and tool hook: bind variant v of the real table now (outside the load);
// 1 on success, 0 when v is outside 0..5 or its entry is missing. Not for use
// while other threads call the export.
int32_t forceVariant(int32_t v);
// The transform entry the call slot holds now, or null.
TransformEntry boundTransform();

// --- Register width of the vector variants ---
// Variants 4 and 5 have a body per register width (widthEntries): 128 bits
// (SSE, SSE2), and on x86-64 256 (AVX) and 512 (AVX-512F with AVX2), with the
// same results on finite data. After the Waterfall has bound one of them it
// binds, once, that variant's widest body that the processor has and whose
// registers the system saves; class, variant and results stay the same.

// Pure: the widest width (128, 256, 512) of a probed record that variant v
// has a body for in this build, 0 for a scalar variant: AVX-512F and AVX2
// with XCR0 bits 1, 2 and 5 to 7 (the system saves the vector, mask and upper
// registers) give 512; AVX with bits 1 and 2 gives 256; anything else 128.
int32_t vectorWidthFor(const ProcessorInfo& info, int32_t v);
// The register width of the body the call slot holds: 128, 256 or 512 for
// the vector variants, 0 for the scalar variants and before binding.
int32_t boundVectorWidth();
// Test and tool hook: with a vector variant bound, binds its body of `bits`
// (128, 256, 512); 1 on success, 0 when a scalar variant (or none) is bound
// or this build lacks that body. It does not ask the processor: binding a
// width it cannot run makes the next transform fault. Not for use while
// other threads call the export.
int32_t forceVectorWidth(int32_t bits);

// Test hooks for the Waterfall. Each returns the previous value; null restores
// the default (the real CPUID probe; MessageBeep + MessageBoxA on Windows, a
// line "Set ZAdu error: No ZAdu matching ..." on standard error elsewhere).
typedef int32_t (*ProbeFunction)(ProcessorInfo* info);
typedef void (*FailureNotifier)(const char* text, const char* caption);
ProbeFunction setProbeFunction(ProbeFunction probe);
FailureNotifier setFailureNotifier(FailureNotifier notifier);

// The texts of the two load-time messages.
extern const char* const waterfallFailureText;   // " No ZAdu matching to CPU was found during the Waterfall"
extern const char* const waterfallFailureCaption;  // "Set ZAdu error"
extern const char* const contextFailureText;     // "Problem to allocate memory for TLS KFX context."

#if !defined(_WIN32)
// The POSIX stand-in loader's process attach: the TLS
// key, the Waterfall, the calling thread's record (kept if it has one).
// 1 on success; 0 with the failure message (dispatch) or the context text
// (record) on standard error. libhalvex.so's constructor calls it; tests call
// it through the internal library.
int32_t libraryAttach();
#endif

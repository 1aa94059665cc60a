// The frame: the per-thread record, work buffers and aligned blocks, error reports, the dispatch
// from the processor's class to its variant; and (suite FrameThreads, also run under
// ThreadSanitizer) threads at once, and libhalvex.so loaded at run time.
#include <gtest/gtest.h>

#include <atomic>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>
#include <vector>

#include "../../fftlib/engine/variants.h"
#include "halvex_internal.h"
#include "../fftlib_engine/reference.h"
#if !defined(_WIN32)
#include <dlfcn.h>

#include "tls_posix.h"
#endif

namespace {

ProcessorInfo fakeInfo;
int32_t fakeProbe(ProcessorInfo* info) { return *info = fakeInfo, fakeInfo.maxLeaf != 0; }
std::vector<std::string> messages;
void captureMessage(const char* text, const char* caption) { messages.push_back(std::string(caption) + "|" + text); }

std::vector<std::string> handled;
int32_t recordingHandler(int32_t status, const char* func, const char* context, const char* file, int32_t line) {
    handled.push_back(std::to_string(status) + " " + func + ": " + context + " [" + file + " " + std::to_string(line) + "]");
    return 1234;
}

// A record as created: all zero but the default handler.
bool isFresh(const ThreadContext* ctx) {
    ThreadContext fresh;
    std::memset(&fresh, 0, sizeof fresh), fresh.errorHandler = defaultErrorHandler;
    return std::memcmp(ctx, &fresh, sizeof fresh) == 0;
}

ProcessorInfo cpu(int32_t maxLeaf, int32_t family, int32_t mmx, int32_t sse, int32_t sse2) {
    return ProcessorInfo{maxLeaf, family, mmx, sse, sse2, 0, 0, 0, 0};
}

// Every test starts and ends with the calling thread's record fresh and the failure hooks off;
// a test probe and message capture are installed, and the call slot is restored afterwards.
class Frame : public ::testing::Test {
protected:
    void SetUp() override {
        reset();
        setProbeFunction(fakeProbe);
        setFailureNotifier(captureMessage);
    }
    void TearDown() override {
        reset();
        setProbeFunction(nullptr);
        setFailureNotifier(nullptr);
        halvexCallSlot = savedSlot;
    }
    static void reset() {
        clearAlignedAllocFailure();
        setContextAllocFailure(false);
        releaseContextResources(getThreadContext());
        initThreadContext(getThreadContext());
    }
    const DispatchTarget savedSlot = halvexCallSlot;
};

// Work-buffer slots only grow: a smaller request reuses the block, a larger one replaces it; bad
// counts and slots give null and change nothing; a failed growth empties the slot; a release empties
// one slot (outside 0..4 nothing). Every block is 32-byte aligned and usable to its full size.
TEST_F(Frame, WorkBuffers) {
    ThreadContext* c = getThreadContext();
    enum { none, same, fresh };
    const struct {
        int32_t count, slot, result, capacity;  // capacity of the slot (3 for the bad slots) afterwards
    } steps[] = {{16384, 3, fresh, 16384}, {1024, 3, same, 16384}, {16384, 3, same, 16384}, {32768, 3, fresh, 32768},
                 {0, 3, none, 32768},  {-1, 3, none, 32768}, {INT32_MIN, 3, none, 32768}, {10, 5, none, 32768},
                 {10, -1, none, 32768}, {10, INT32_MAX, none, 32768}, {10, 0, fresh, 10}, {10, 4, fresh, 10}};
    for (const auto& s : steps) {
        const int slot = s.slot >= 0 && s.slot < 5 ? s.slot : 3;
        void* const old = c->workBuffers[slot];
        const int64_t live = alignedAllocLiveBlocks();
        void* p = getWorkBuffer(s.count, s.slot);
        EXPECT_EQ(p, s.result == none ? nullptr : c->workBuffers[slot]) << s.count << " " << s.slot;
        EXPECT_TRUE((s.result != same || p == old) && c->workBufferCapacity[slot] == s.capacity) << s.count << " " << s.slot;
        EXPECT_EQ(alignedAllocLiveBlocks(), live + (s.result == fresh && !old)) << s.count << " " << s.slot;
        EXPECT_EQ(reinterpret_cast<uintptr_t>(p) % 32, 0u);
        if (p) std::memset(p, 0xA5, size_t(s.capacity) * 8);
    }
    setAlignedAllocFailure(0, 1);
    EXPECT_TRUE(!getWorkBuffer(65536, 3) && !c->workBuffers[3] && !c->workBufferCapacity[3] && getWorkBuffer(16384, 3));
    const int64_t live = alignedAllocLiveBlocks();
    releaseWorkBuffer(7), releaseWorkBuffer(-1);
    EXPECT_EQ(alignedAllocLiveBlocks(), live);
    releaseWorkBuffer(3), releaseWorkBuffer(3);
    EXPECT_TRUE(!c->workBuffers[3] && !c->workBufferCapacity[3] && c->workBuffers[0] && c->workBuffers[4]);
    EXPECT_EQ(alignedAllocLiveBlocks(), live - 1);
}

// Aligned blocks of every small size and form are 32-byte aligned, usable to their full size and
// freed through the address kept below them; sizes that would overflow give null.
TEST_F(Frame, AlignedBlocks) {
    const int64_t live = alignedAllocLiveBlocks();
    std::vector<std::pair<void*, size_t>> blocks = {{alignedAlloc(1 << 20), 1 << 20}};
    for (size_t n = 0; n <= 300; ++n) blocks.push_back({alignedAlloc(n), n});
    for (size_t n = 0; n <= 100; ++n)
        blocks.push_back({alignedAlloc4(n), 4 * n}), blocks.push_back({alignedAlloc8(n), 8 * n});
    for (const auto& b : blocks) {
        ASSERT_TRUE(b.first && reinterpret_cast<uintptr_t>(b.first) % 32 == 0) << b.second;
        std::memset(b.first, 0xFF, b.second);
    }
    EXPECT_EQ(alignedAllocLiveBlocks(), live + int64_t(blocks.size()));
    for (const auto& b : blocks) alignedFree(b.first);
    alignedFree(nullptr);
    for (void* p : {alignedAlloc(SIZE_MAX), alignedAlloc(SIZE_MAX - 8), alignedAlloc(SIZE_MAX - 32 - sizeof(void*) + 1),
                    alignedAlloc4(SIZE_MAX / 4 + 1), alignedAlloc4(SIZE_MAX), alignedAlloc8(SIZE_MAX / 8 + 1),
                    alignedAlloc8(SIZE_MAX / 8 + 3)})
        EXPECT_EQ(p, nullptr);
    EXPECT_EQ(alignedAllocLiveBlocks(), live);
}

// reportError records every status but -1 and -8 in the thread's record (0 calls no handler) and
// returns what the handler returns; the default handler returns the status when errorMode is not 0,
// and a null handler counts as the default. The setters return the old values; the texts.
TEST_F(Frame, ErrorReports) {
    const struct {
        int32_t status;
        ErrorHandler handler;
        int32_t mode, result, stored;
    } cases[] = {{0, recordingHandler, 0, 0, 0},       {-1, recordingHandler, 0, 1234, -4},
                 {-8, recordingHandler, 0, 1234, -4},  {-5, recordingHandler, 0, 1234, -5},
                 {7, recordingHandler, 0, 1234, 7},    {-4, defaultErrorHandler, 1, -4, -4},
                 {-1, defaultErrorHandler, 2, -1, -4}, {-5, nullptr, 1, -5, -5}};
    ThreadContext* ctx = getThreadContext();
    for (const auto& c : cases) {
        ctx->status = -4, ctx->errorMode = c.mode, ctx->errorHandler = c.handler;
        handled.clear();
        EXPECT_EQ(reportError(c.status, "kfxcrFftNip", "order<0", "kfxffts", 840), c.result) << c.status;
        EXPECT_EQ(ctx->status, c.stored) << c.status;
        EXPECT_EQ(handled, std::vector<std::string>(c.handler == recordingHandler && c.status,
                                                     std::to_string(c.status) + " kfxcrFftNip: order<0 [kfxffts 840]"));
    }
    initThreadContext(ctx);
    EXPECT_TRUE(setErrorMode(2) == 0 && setErrorMode(0) == 2 && setErrorHandler(recordingHandler) == &defaultErrorHandler);
    EXPECT_TRUE(setErrorHandler(nullptr) == &recordingHandler && ctx->errorHandler == &defaultErrorHandler);
    const char* const texts[] = {"No Error",       "Backtrace",          nullptr,
                                 "Internal error (bad state)",          "Out of memory",
                                 "Bad argument",   "Unsupported function", "Iteration convergence failed",
                                 "Autotrace call", nullptr,              "Null pointer",
                                 nullptr,          "Bad pointer",        "Bad data structure",
                                 "Bad vector length"};
    for (int32_t code : {0, -1, -2, -3, -4, -5, -6, -7, -8, -9, -10, -11, -12, -13, -14, 1, 2, -15, -100, INT_MIN, INT_MAX})
        EXPECT_STREQ(statusText(code), code <= 0 && code >= -14 && texts[-code] ? texts[-code]
                                                                                 : "Unknown error or status code");
}

#if GTEST_HAS_DEATH_TEST && !defined(_WIN32)
// The default handler ends the process with exit code 1 and says nothing; a record that cannot be
// allocated ends it with the text.
TEST(FrameDeathTest, DefaultHandlerAndMissingRecordEndTheProcess) {
    // (threadsafe re-executes the program: a run under a user-mode emulator, whose kernel cannot,
    // chooses fork alone through GTEST_DEATH_TEST_STYLE.)
    if (!std::getenv("GTEST_DEATH_TEST_STYLE")) GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT((reportError(-5, "kfxcrFftNip", "order<0", "kfxffts", 840), std::fputs("returned\n", stderr)),
                ::testing::ExitedWithCode(1), "^$");
    EXPECT_DEATH(std::thread([] { setContextAllocFailure(true), getThreadContext(); }).join(),
                 "Problem to allocate memory for TLS KFX context\\.");
}
#endif

// Family and feature bits give the class (6: no usable CPUID), pure and through the probe; the
// Waterfall binds the class's own variant, or for class 6 shows its message and binds nothing.
// forceVariant binds any variant 0..5.
TEST_F(Frame, ClassesAndTheWaterfall) {
    const struct {
        ProcessorInfo info;
        int32_t processorClass;
    } cases[] = {
        {cpu(2, 6, 1, 1, 0), 4},  {cpu(2, 6, 1, 1, 1), 4},  {cpu(2, 6, 0, 1, 0), 4},  {cpu(2, 6, 1, 0, 0), 3},
        {cpu(2, 6, 0, 0, 0), 0},  {cpu(2, 6, 0, 0, 1), 0},  {cpu(2, 15, 1, 1, 1), 5}, {cpu(2, 15, 0, 0, 1), 5},
        {cpu(2, 15, 1, 1, 0), 0}, {cpu(2, 15, 0, 0, 0), 0}, {cpu(1, 5, 1, 0, 0), 2},  {cpu(1, 5, 1, 1, 1), 2},
        {cpu(1, 5, 0, 0, 0), 0},  {cpu(1, 4, 1, 1, 1), 0},  {cpu(1, 3, 0, 0, 0), 0},  {cpu(1, 7, 1, 1, 1), 0},
        {cpu(1, 0, 0, 0, 0), 0},  {cpu(0, 6, 1, 1, 1), 6},  {cpu(0, 0, 0, 0, 0), 6},
    };
    for (const auto& c : cases) {
        fakeInfo = c.info, halvexCallSlot = nullptr;
        messages.clear();
        const int32_t v = c.processorClass < 6 ? c.processorClass : -1;
        EXPECT_EQ(classifyProcessor(c.info), c.processorClass) << c.info.family << " " << c.info.maxLeaf;
        EXPECT_TRUE(classifyProcessor() == c.processorClass && variantForClass(c.processorClass) == v) << c.info.family;
        EXPECT_EQ(runWaterfall(), v >= 0) << c.info.family;
        EXPECT_TRUE(boundTransform() == (v >= 0 ? variantEntries[v] : nullptr) && (v < 0 || boundVariant() == v));
        EXPECT_EQ(messages, std::vector<std::string>(v < 0, "Set ZAdu error| No ZAdu matching to CPU was found during "
                                                            "the Waterfall"));
    }
    for (int family = 0; family < 16; ++family)  // class 1 has a row, but no processor falls into it
        for (int bits = 0; bits < 8; ++bits)
            EXPECT_NE(classifyProcessor(cpu(1, family, bits & 1, bits >> 1 & 1, bits >> 2)), 1);
    EXPECT_TRUE(dispatchCount == 1 && dispatchTable[0].slot == &halvexCallSlot);
    for (int v = 0; v < 6; ++v) {
        EXPECT_EQ(dispatchTable[0].implementations[v], reinterpret_cast<DispatchTarget>(variantEntries[v]));
        EXPECT_TRUE(forceVariant(v) && boundVariant() == v && boundTransform() == variantEntries[v]);
    }
    EXPECT_FALSE(forceVariant(-1) || forceVariant(6));
#if defined(__x86_64__)
    ProcessorInfo real = cpu(-7, -7, -7, -7, -7);  // every x86-64 processor: leaf 1, MMX, SSE and SSE2
    EXPECT_TRUE(probeProcessor(&real) == 1 && real.maxLeaf > 0 && real.family >= 0 && real.family <= 15);
    EXPECT_TRUE(real.hasMmx == 1 && real.hasSse == 1 && real.hasSse2 == 1);
#endif
}

// The walk down a class's row over a table of two exports binds the first variant both implement
// (a failed try may have written the first slot); none binds nothing. A bind stops at the first
// export that lacks the variant.
TEST(FrameBinding, PreferenceListsFallBackDownTheRow) {
    static char markers[2][6];
    const struct {
        int32_t processorClass, count;
        std::vector<std::pair<int, int>> missing;  // (export, variant)
        int32_t bound;
    } cases[] = {{5, 2, {{0, 5}}, 4},  {3, 2, {{1, 3}, {1, 2}}, 1}, {4, 2, {{0, 1}, {0, 2}, {0, 3}, {0, 4}, {0, 5}}, 0},
                 {2, 2, {{0, 2}, {0, 0}}, -1}, {1, 2, {{0, 1}}, 0}, {6, 2, {}, -1}, {-1, 2, {}, -1}, {4, 0, {}, -1}};
    auto marker = [](int e, int v) { return reinterpret_cast<DispatchTarget>(&markers[e][v]); };
    for (const auto& c : cases) {
        DispatchTarget slots[2] = {nullptr, nullptr};
        DispatchEntry table[2];
        for (int e = 0; e < 2; ++e) {
            table[e].slot = &slots[e];
            for (int v = 0; v < 6; ++v) table[e].implementations[v] = marker(e, v);
        }
        for (const auto& m : c.missing) table[m.first].implementations[m.second] = nullptr;
        EXPECT_EQ(walkPreferenceList(table, c.count, c.processorClass), c.bound) << "class " << c.processorClass;
        EXPECT_TRUE(c.bound < 0 ? !slots[0] && !slots[1] : slots[0] == marker(0, c.bound) && slots[1] == marker(1, c.bound));
        if (c.processorClass != 3) continue;
        EXPECT_TRUE(!bindVariantIn(table, 2, 3) && slots[0] == marker(0, 3) && slots[1] == marker(1, 1));
    }
}

// After binding a vector variant the Waterfall binds its widest body whose registers the processor
// has (CPUID) and the system saves (XCR0): 512 bits need AVX-512F and AVX2 besides AVX. The scalar
// variants have no width, and a processor without AVX runs the 128-bit body. Widths this build lacks
// fall back. Forcing a width: the vector variants only.
TEST_F(Frame, VectorVariantsRunTheWidestBodyTheProcessorAndSystemRun) {
    const struct {
        int32_t family, avx, avx2, avx512f;
        uint32_t xcr0;
        int32_t variant, bits;
    } cases[] = {
        {15, 0, 0, 0, 0x0, 5, 128},  {15, 0, 1, 1, 0xE7, 5, 128}, {15, 1, 1, 0, 0x3, 5, 128},  {15, 1, 0, 0, 0x5, 5, 128},
        {15, 1, 0, 0, 0x7, 5, 256},  {15, 1, 1, 1, 0x67, 5, 256}, {15, 1, 1, 1, 0xA7, 5, 256}, {15, 1, 1, 1, 0xC7, 5, 256},
        {15, 1, 0, 1, 0xE7, 5, 256}, {15, 1, 1, 1, 0xE7, 5, 512}, {6, 0, 0, 0, 0x0, 4, 128},   {6, 1, 1, 0, 0x7, 4, 256},
        {6, 1, 1, 1, 0x7, 4, 256},   {6, 1, 0, 1, 0xE7, 4, 256},  {6, 1, 1, 1, 0xE7, 4, 512},  {5, 1, 1, 1, 0xE7, 2, 0},
    };
    for (const auto& c : cases) {
        fakeInfo = cpu(13, c.family, 1, 1, c.family == 15), halvexCallSlot = nullptr;
        fakeInfo.hasAvx = c.avx, fakeInfo.hasAvx2 = c.avx2, fakeInfo.hasAvx512f = c.avx512f, fakeInfo.savedState = c.xcr0;
        int32_t bits = c.bits, w = 0;
        while (bits > 128 && !widthEntries[c.variant][bits / 256]) bits /= 2;  // not built here
        for (int k = 0; k < vectorWidthCount; ++k) w = vectorWidths[k] == bits ? k : w;
        ASSERT_EQ(runWaterfall(), 1);
        EXPECT_TRUE(boundVariant() == c.variant && boundVectorWidth() == bits && vectorWidthFor(fakeInfo, c.variant) == bits)
            << "family " << c.family << " AVX " << c.avx << " AVX2 " << c.avx2 << " AVX-512F " << c.avx512f << " XCR0 " << c.xcr0;
        EXPECT_EQ(boundTransform(), bits ? widthEntries[c.variant][w] : variantEntries[c.variant]);
    }
    for (int v : {4, 5}) {
        ASSERT_TRUE(forceVariant(v) && boundVectorWidth() == 128 && widthEntries[v][0] == variantEntries[v]);
        for (int k = 0; k < vectorWidthCount; ++k) {
            EXPECT_EQ(forceVectorWidth(vectorWidths[k]), widthEntries[v][k] ? 1 : 0);
            EXPECT_TRUE(!widthEntries[v][k] || (boundTransform() == widthEntries[v][k] && boundVectorWidth() == vectorWidths[k]));
        }
        EXPECT_EQ(forceVectorWidth(64), 0);
    }
    ASSERT_TRUE(forceVariant(3));
    EXPECT_TRUE(forceVectorWidth(128) == 0 && boundVectorWidth() == 0 && boundTransform() == variantEntries[3]);
}

#if !defined(_WIN32)
// Process attach of the stand-in loader, on a thread of its own: after a bound dispatch, the loading
// thread's record; otherwise no record and one line on standard error.
TEST_F(Frame, ProcessAttach) {
    const struct {
        ProcessorInfo info;
        bool noRecord;
        const char* err;
    } cases[] = {{cpu(1, 6, 1, 1, 0), false, ""},
                 {cpu(0, 0, 0, 0, 0), false, "Set ZAdu error: No ZAdu matching to CPU was found during the Waterfall\n"},
                 {cpu(1, 6, 1, 1, 0), true, "Problem to allocate memory for TLS KFX context.\n"}};
    setFailureNotifier(nullptr);
    for (const auto& c : cases) {
        fakeInfo = c.info, halvexCallSlot = nullptr;
        int32_t result = -1;
        ThreadContext *before = nullptr, *after = nullptr;
        ::testing::internal::CaptureStderr();
        std::thread([&] {
            setContextAllocFailure(c.noRecord);
            before = peekThreadContext(), result = libraryAttach(), after = peekThreadContext();
        }).join();
        EXPECT_EQ(::testing::internal::GetCapturedStderr(), c.err);
        EXPECT_TRUE(result == (*c.err == 0) && !before && (after != nullptr) == (result == 1)) << c.err;
        EXPECT_EQ(boundTransform(), c.info.maxLeaf ? variantEntries[4] : nullptr) << c.err;
    }
}
#endif

// For each variant bound, eight threads call the export at once over orders 8 to 13 (inverse,
// bit-reversed output): each starts with a fresh record, builds its own tables, gets the variant
// entry's results bit for bit, records its own statuses and grows its own work buffers; its end
// frees all of it.
TEST(FrameThreads, EveryThreadHasItsOwnRecordTablesAndBuffers) {
    ProcessorInfo here{};
    probeProcessor(&here);
    std::string left;
    for (int v = 0; v < variantCount; ++v) {
        if (!processorRunsVariant(here, v)) left += " " + std::to_string(v);
        if (!variantEngines[v] || !processorRunsVariant(here, v) || !forceVariant(v)) continue;  // bound before any thread starts
        std::vector<std::vector<float>> in, expected;
        for (size_t n = 256; n <= 8192; n *= 2) {
            in.emplace_back(2 * n), expected.emplace_back(2 * n);
            for (size_t k = 0; k < 2 * n; ++k) in.back()[k] = float((k * 7919 + n) % 1000) / 500 - 1;
            variantEntries[v](in.back().data(), &in.back()[n], expected.back().data(), &expected.back()[n],
                              int(in.size()) + 7, 2 | 128);
        }
        const void* mainTable = getThreadContext()->bitRevTables[13];
        const int64_t live = alignedAllocLiveBlocks();
        std::atomic<int> bad{0};
        std::vector<std::thread> threads;
        for (int t = 0; t < 8; ++t)
            threads.emplace_back([&, t] {
                ThreadContext* ctx = getThreadContext();
                bad += !isFresh(ctx);
                setErrorMode(1);  // the default handler returns the status
                for (int round = 0; round < 18; ++round) {
                    const size_t i = size_t(round + t) % in.size(), n = in[i].size() / 2;
                    std::vector<float> y(2 * n);
                    kfxcrFftNip(in[i].data(), &in[i][n], y.data(), &y[n], 8 + int(i), 2 | 128);
                    const int32_t status = -(1 + (t + round) % 14), count = 64 + 32 * ((t * 7 + round) % 50);
                    reportError(status, "kfxcrFftNip", "test", "kfxffts", t);
                    void* buffer = getWorkBuffer(count, round % workBufferSlots);
                    if (buffer) std::memset(buffer, t, size_t(count) * 8);
                    bad += y != expected[i] || (status != -1 && status != -8 && ctx->status != status) || !buffer ||
                           getThreadContext() != ctx;
                }
                bad += ctx->bitRevTables[13] == nullptr || ctx->bitRevTables[13] == mainTable;
            });
        for (std::thread& thread : threads) thread.join();
        EXPECT_EQ(bad.load(), 0) << "variant " << v;
        EXPECT_EQ(alignedAllocLiveBlocks(), live) << "variant " << v << ": tables or buffers outlived their threads";
    }
    if (!left.empty()) GTEST_SKIP() << "variants" << left << " not run: this processor lacks their SSE or SSE2";
}

#if !defined(_WIN32)
// The two points (a, b) forward through the export: (a + b, a - b).
bool twoPoints(HalvexFftFunction entry, float a, float b) {
    const float re[2] = {a, b}, im[2] = {0, 0};
    float ro[2] = {-1, -1}, io[2] = {-1, -1};
    entry(re, im, ro, io, 1, 1);
    return ro[0] == a + b && ro[1] == a - b && io[0] == 0 && io[1] == 0;
}

// libhalvex.so loads silently; a thread running before the load calls the export (its record made
// on its first call) twice, and so does the loading thread. A thread that called while loaded and
// ends after dlclose finds the library still mapped (-z nodelete) and its record released then (the
// sanitizer build's leak check sees it).
TEST(FrameThreads, LibhalvexLoadedWhileAThreadRuns) {
    std::atomic<HalvexFftFunction> entry{nullptr};
    std::atomic<bool> called{false}, closed{false};
    int early = 0, late = 0;
    std::thread before([&] {
        while (!entry) std::this_thread::yield();
        early = twoPoints(entry, 3, 1) + twoPoints(entry, 5, 2);
    });
    ::testing::internal::CaptureStderr();
    void* handle = dlopen(HALVEX_SO_PATH, RTLD_NOW | RTLD_LOCAL);
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), "");
    ASSERT_NE(handle, nullptr) << dlerror();
    entry = reinterpret_cast<HalvexFftFunction>(dlsym(handle, "kfxcrFftNip"));
    ASSERT_NE(entry.load(), nullptr);
    before.join();
    EXPECT_TRUE(early == 2 && twoPoints(entry, 7, -1));
    std::thread after([&] {
        late = twoPoints(entry, 2, 2);
        called = true;
        while (!closed) std::this_thread::yield();
    });
    while (!called) std::this_thread::yield();
    EXPECT_EQ(dlclose(handle), 0);
    closed = true;
    after.join();
    EXPECT_EQ(late, 1);
}

// The library's own load binds the variant of this processor's class: through the export, orders
// 0 to 16 give that variant's bits, within its bound of the reference.
TEST(FrameLoad, TheExportRunsTheClassVariant) {
    const int32_t v = variantForClass(classifyProcessor());
    ASSERT_GE(v, 0);
    void* handle = dlopen(HALVEX_SO_PATH, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(handle, nullptr) << dlerror();
    const HalvexFftFunction entry = reinterpret_cast<HalvexFftFunction>(dlsym(handle, "kfxcrFftNip"));
    ASSERT_NE(entry, nullptr);
    for (int order = 0; order <= 16; ++order) {
        const size_t n = size_t(1) << order;
        const std::vector<int64_t> rev = reversal(order);
        std::vector<float> x(2 * n), xRev(2 * n);  // xRev: x in bit-reversed order, for flag 64
        randomPoints(&x[0], &x[n], int64_t(n), uint32_t(order));
        for (size_t k = 0; k < 2 * n; ++k) xRev[k / n * n + size_t(rev[k % n])] = x[k];
        const Spectrum X[2] = {reference(&x[0], &x[n], order, 1), reference(&x[0], &x[n], order, -1)};
        for (int flags : {1, 2, 2 | 16 | 128, 1 | 64}) {
            const float* in = flags & 64 ? &xRev[0] : &x[0];
            std::vector<float> y(2 * n, -1), want(2 * n, -2);
            entry(in, in + n, &y[0], &y[n], order, flags);
            variantEntries[v](in, in + n, &want[0], &want[n], order, flags);
            const double error = relativeError(&y[0], &y[n], X[flags & 1 ? 0 : 1], (flags & 18) == 2 ? 1.0 / double(n) : 1.0,
                                               flags & 128 ? &rev : nullptr);
            EXPECT_TRUE(y == want && error <= errorBound(v, order, flags))
                << "variant " << v << " order " << order << " flags " << flags << ": error " << error;
        }
    }
    EXPECT_EQ(dlclose(handle), 0);
}
#endif

}  // namespace

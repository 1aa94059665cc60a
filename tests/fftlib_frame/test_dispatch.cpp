// Classes, preference lists, binding and the Waterfall (with test
// dispatch tables and test probes), and the POSIX stand-in's process attach.
#include <gtest/gtest.h>

#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "../../fftlib/engine/variants.h"
#include "halvex_internal.h"

namespace {

ProcessorInfo cpu(int32_t maxLeaf, int32_t family, int32_t mmx, int32_t sse, int32_t sse2) {
    ProcessorInfo info{};
    info.maxLeaf = maxLeaf;
    info.family = family;
    info.hasMmx = mmx;
    info.hasSse = sse;
    info.hasSse2 = sse2;
    return info;
}

// --- Classes (pure) ---

TEST(FrameClassify, FamilyAndFeatureBitsGiveTheClass) {
    const struct {
        int32_t maxLeaf, family, mmx, sse, sse2, expected;
    } cases[] = {
        {2, 6, 1, 1, 0, 4}, {2, 6, 1, 1, 1, 4}, {2, 6, 0, 1, 0, 4}, {2, 6, 1, 0, 0, 3}, {2, 6, 0, 0, 0, 0},
        {2, 6, 0, 0, 1, 0}, {2, 15, 1, 1, 1, 5}, {2, 15, 0, 0, 1, 5}, {2, 15, 1, 1, 0, 0}, {2, 15, 0, 0, 0, 0},
        {1, 5, 1, 0, 0, 2}, {1, 5, 1, 1, 1, 2}, {1, 5, 0, 0, 0, 0}, {1, 4, 1, 1, 1, 0}, {1, 3, 0, 0, 0, 0},
        {1, 7, 1, 1, 1, 0}, {1, 0, 0, 0, 0, 0}, {0, 6, 1, 1, 1, 6}, {0, 0, 0, 0, 0, 6},
    };
    for (const auto& c : cases)
        EXPECT_EQ(classifyProcessor(cpu(c.maxLeaf, c.family, c.mmx, c.sse, c.sse2)), c.expected)
            << "leaf " << c.maxLeaf << " family " << c.family << " bits " << c.mmx << c.sse << c.sse2;
    // Class 1 has a row but no processor falls into it.
    for (int family = 0; family < 16; ++family)
        for (int bits = 0; bits < 8; ++bits)
            EXPECT_NE(classifyProcessor(cpu(1, family, bits & 1, (bits >> 1) & 1, (bits >> 2) & 1)), 1);
}

// --- The probe on this machine, and the probing form ---

#if defined(__i386__) || defined(__x86_64__)
TEST(FrameProbe, ThisX86ProcessorHasLeafOne) {
    ProcessorInfo info = cpu(-7, -7, -7, -7, -7);
    EXPECT_EQ(probeProcessor(&info), 1);
    EXPECT_GT(info.maxLeaf, 0);
    EXPECT_GE(info.family, 0);
    EXPECT_LE(info.family, 15);
    for (int32_t flag : {info.hasMmx, info.hasSse, info.hasSse2}) EXPECT_TRUE(flag == 0 || flag == 1);
#if defined(__x86_64__)
    EXPECT_EQ(info.hasMmx, 1);  // every x86-64 processor has MMX, SSE and SSE2
    EXPECT_EQ(info.hasSse, 1);
    EXPECT_EQ(info.hasSse2, 1);
#endif
    EXPECT_EQ(classifyProcessor(), classifyProcessor(info));
}
#endif

ProcessorInfo fakeInfo;
int32_t fakeProbe(ProcessorInfo* info) {
    *info = fakeInfo;
    return fakeInfo.maxLeaf != 0 ? 1 : 0;
}

class FrameWaterfall : public ::testing::Test {
protected:
    static std::vector<std::string> messages;
    static void capture(const char* text, const char* caption) {
        messages.push_back(std::string(caption) + "|" + text);
    }
    void SetUp() override {
        messages.clear();
        previousProbe = setProbeFunction(fakeProbe);
        previousNotifier = setFailureNotifier(capture);
        savedSlot = halvexCallSlot;
    }
    void TearDown() override {
        setProbeFunction(nullptr);
        setFailureNotifier(nullptr);
        halvexCallSlot = savedSlot;
    }
    ProbeFunction previousProbe = nullptr;
    FailureNotifier previousNotifier = nullptr;
    DispatchTarget savedSlot = nullptr;
};
std::vector<std::string> FrameWaterfall::messages;

TEST_F(FrameWaterfall, ProbingFormUsesTheProbe) {
    EXPECT_EQ(previousProbe, &probeProcessor);
    fakeInfo = cpu(1, 6, 1, 1, 0);
    EXPECT_EQ(classifyProcessor(), 4);
    fakeInfo = cpu(0, 6, 1, 1, 1);
    EXPECT_EQ(classifyProcessor(), 6);
}

// --- Binding over test tables ---

// Distinct fake implementations: variant v of entry e is marker(e, v).
char markers[2][6];
DispatchTarget marker(int e, int v) { return reinterpret_cast<DispatchTarget>(&markers[e][v]); }

struct TestTable {
    DispatchTarget slots[2] = {nullptr, nullptr};
    DispatchEntry entries[2];
    explicit TestTable(int count = 2) {
        for (int e = 0; e < 2; ++e) {
            entries[e].slot = &slots[e];
            for (int v = 0; v < 6; ++v) entries[e].implementations[v] = e < count ? marker(e, v) : nullptr;
        }
    }
};

TEST(FrameBinding, EveryClassBindsItsOwnVariantWhenAllArePresent) {
    for (int c = 0; c < 6; ++c) {
        TestTable t;
        const int32_t bound = walkPreferenceList(t.entries, 2, c);
        EXPECT_EQ(bound, c);
        EXPECT_EQ(t.slots[0], marker(0, c));
        EXPECT_EQ(t.slots[1], marker(1, c));
    }
}

TEST(FrameBinding, TheWalkFallsBackDownTheRow) {
    const struct {
        int32_t processorClass;
        std::vector<std::pair<int, int>> missing;  // entry, variant
        int32_t bound;
    } cases[] = {
        {5, {{0, 5}}, 4},
        {3, {{1, 3}, {1, 2}}, 1},
        {4, {{0, 1}, {0, 2}, {0, 3}, {0, 4}, {0, 5}}, 0},
        {2, {{0, 2}, {0, 0}}, -1},  // 1 is not in its row
        {1, {{0, 1}}, 0},           // never produced, but its row works
    };
    for (const auto& c : cases) {
        TestTable t;
        for (const auto& m : c.missing) t.entries[m.first].implementations[m.second] = nullptr;
        EXPECT_EQ(walkPreferenceList(t.entries, 2, c.processorClass), c.bound) << "class " << c.processorClass;
        if (c.bound >= 0) {
            EXPECT_EQ(t.slots[0], marker(0, c.bound)) << "class " << c.processorClass;
            EXPECT_EQ(t.slots[1], marker(1, c.bound)) << "class " << c.processorClass;
        }
    }
}

TEST(FrameBinding, NoClassOrNoEntriesBindsNothing) {
    TestTable t;
    EXPECT_EQ(walkPreferenceList(t.entries, 2, 6), -1);
    EXPECT_EQ(walkPreferenceList(t.entries, 2, -1), -1);
    EXPECT_EQ(walkPreferenceList(t.entries, 2, 7), -1);
    EXPECT_EQ(walkPreferenceList(t.entries, 0, 4), -1);
    EXPECT_EQ(t.slots[0], nullptr);
    EXPECT_EQ(t.slots[1], nullptr);
}

TEST(FrameBinding, BindVariantStopsAtTheFirstMissingImplementation) {
    TestTable t;
    t.entries[1].implementations[3] = nullptr;
    EXPECT_EQ(bindVariantIn(t.entries, 2, 3), 0);
    EXPECT_EQ(t.slots[0], marker(0, 3));  // earlier entries keep what was written
    EXPECT_EQ(t.slots[1], nullptr);
    EXPECT_EQ(bindVariantIn(t.entries, 2, 4), 1);
    EXPECT_EQ(t.slots[1], marker(1, 4));
    EXPECT_EQ(bindVariantIn(t.entries, 2, 6), 0);
    EXPECT_EQ(bindVariantIn(t.entries, 2, -1), 0);
    EXPECT_EQ(t.slots[0], marker(0, 4));
}

// --- The library's own table ---

TEST(FrameDispatchTable, OneEntryWhoseSlotIsTheExportsSlot) {
    EXPECT_EQ(dispatchCount, 1);
    EXPECT_EQ(dispatchTable[0].slot, &halvexCallSlot);
}

TEST_F(FrameWaterfall, ProcessorWithoutLeafOneRefusesToLoad) {
    fakeInfo = cpu(0, 0, 0, 0, 0);
    halvexCallSlot = nullptr;
    EXPECT_EQ(runWaterfall(), 0);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "Set ZAdu error| No ZAdu matching to CPU was found during the Waterfall");
    EXPECT_EQ(halvexCallSlot, nullptr);
    EXPECT_EQ(boundTransform(), nullptr);
}

// With all six variants built, every class binds the variant of its own
// number, and the table's six implementations are the six variant entries.
TEST_F(FrameWaterfall, EveryClassBindsItsOwnVariant) {
    for (int v = 0; v < 6; ++v) ASSERT_NE(variantEntries[v], nullptr) << "variant " << v;
    const struct {
        ProcessorInfo info;
        int32_t variant;
    } cases[] = {
        {cpu(1, 4, 0, 0, 0), 0}, {cpu(1, 6, 0, 0, 0), 0}, {cpu(1, 15, 1, 1, 0), 0},
        {cpu(1, 5, 1, 0, 0), 2}, {cpu(1, 6, 1, 0, 0), 3}, {cpu(1, 6, 1, 1, 0), 4},
        {cpu(1, 6, 1, 1, 1), 4}, {cpu(2, 15, 1, 1, 1), 5},
    };
    for (const auto& c : cases) {
        fakeInfo = c.info;
        halvexCallSlot = nullptr;
        EXPECT_EQ(runWaterfall(), 1);
        EXPECT_EQ(boundVariant(), c.variant) << "family " << c.info.family;
        EXPECT_EQ(boundTransform(), variantEntries[c.variant]);
        EXPECT_EQ(dispatchTable[0].implementations[c.variant], reinterpret_cast<DispatchTarget>(variantEntries[c.variant]));
    }
    for (int processorClass = 0; processorClass < 6; ++processorClass)
        EXPECT_EQ(variantForClass(processorClass), processorClass);
    EXPECT_TRUE(messages.empty());
}

// After binding variant 5 the Waterfall binds its widest body whose registers
// the processor has (CPUID) and the system saves (XCR0); every other case,
// and every other variant, keeps the one body it has: a processor without
// AVX runs the 128-bit body, as before. Widths this build lacks fall back.
TEST_F(FrameWaterfall, Variant5RunsTheWidestBodyTheProcessorAndSystemRun) {
    const struct {
        int32_t family, avx, avx512f;
        uint32_t xcr0;
        int32_t variant, bits;
    } cases[] = {
        {15, 0, 0, 0x0, 5, 128},  {15, 0, 0, 0xE7, 5, 128}, {15, 1, 0, 0x3, 5, 128}, {15, 1, 0, 0x5, 5, 128},
        {15, 1, 0, 0x7, 5, 256},  {15, 1, 1, 0x7, 5, 256},  {15, 1, 1, 0x67, 5, 256}, {15, 1, 1, 0xA7, 5, 256},
        {15, 1, 1, 0xC7, 5, 256}, {15, 1, 1, 0xE7, 5, 512}, {15, 0, 1, 0xE7, 5, 128}, {6, 1, 1, 0xE7, 4, 128},
        {5, 1, 1, 0xE7, 2, 0},
    };
    for (const auto& c : cases) {
        fakeInfo = cpu(13, c.family, 1, 1, c.family == 15 ? 1 : 0);
        fakeInfo.hasAvx = c.avx;
        fakeInfo.hasAvx512f = c.avx512f;
        fakeInfo.savedState = c.xcr0;
        int32_t bits = c.bits, w = 0;
        while (bits > 128 && !variant5Entries[bits == 512 ? 2 : 1]) bits /= 2;  // not built here
        for (int k = 0; k < vectorWidthCount; ++k)
            if (vectorWidths[k] == bits) w = k;
        halvexCallSlot = nullptr;
        ASSERT_EQ(runWaterfall(), 1);
        EXPECT_EQ(boundVariant(), c.variant);
        EXPECT_EQ(boundVectorWidth(), bits) << "AVX " << c.avx << " AVX-512F " << c.avx512f << " XCR0 " << c.xcr0;
        EXPECT_EQ(boundTransform(), c.variant == 5 ? variant5Entries[w] : variantEntries[c.variant]);
        if (c.variant == 5) {
            EXPECT_EQ(vectorWidthFor(fakeInfo), bits);
        }
    }
    // Forcing a width: variant 5 only, bodies this build has.
    ASSERT_EQ(forceVariant(5), 1);
    EXPECT_EQ(boundVectorWidth(), 128);
    for (int k = 0; k < vectorWidthCount; ++k) {
        EXPECT_EQ(forceVectorWidth(vectorWidths[k]), variant5Entries[k] ? 1 : 0);
        if (variant5Entries[k]) {
            EXPECT_EQ(boundTransform(), variant5Entries[k]);
        }
    }
    EXPECT_EQ(forceVectorWidth(64), 0);
    ASSERT_EQ(forceVariant(4), 1);
    EXPECT_EQ(forceVectorWidth(128), 0);
    EXPECT_EQ(boundTransform(), variantEntries[4]);
}

TEST_F(FrameWaterfall, ForceVariant) {
    for (int v = 0; v < 6; ++v) {
        halvexCallSlot = nullptr;
        EXPECT_EQ(forceVariant(v), 1);
        EXPECT_EQ(boundVariant(), v);
        EXPECT_EQ(boundTransform(), variantEntries[v]);
    }
    EXPECT_EQ(forceVariant(-1), 0);
    EXPECT_EQ(forceVariant(6), 0);
    EXPECT_TRUE(messages.empty());
}

#if !defined(_WIN32)
// The stand-in's message on standard error.
TEST_F(FrameWaterfall, DefaultNotifierWritesOneLineOnStandardError) {
    setFailureNotifier(nullptr);
    fakeInfo = cpu(0, 0, 0, 0, 0);
    ::testing::internal::CaptureStderr();
    EXPECT_EQ(runWaterfall(), 0);
    const std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(err, "Set ZAdu error: No ZAdu matching to CPU was found during the Waterfall\n");
}

// Process attach of the stand-in, run on a thread of its own.
TEST_F(FrameWaterfall, AttachFailingInTheDispatchCreatesNoRecordAndBindsNothing) {
    fakeInfo = cpu(0, 0, 0, 0, 0);
    halvexCallSlot = nullptr;
    int32_t result = -1;
    ThreadContext* record = reinterpret_cast<ThreadContext*>(1);
    std::thread loader([&] {
        result = libraryAttach();
        record = peekThreadContext();
    });
    loader.join();
    EXPECT_EQ(result, 0);
    EXPECT_EQ(record, nullptr);
    EXPECT_EQ(halvexCallSlot, nullptr);
    EXPECT_EQ(messages.size(), 1u);
}

TEST_F(FrameWaterfall, AttachCreatesTheLoadingThreadsRecord) {
    fakeInfo = cpu(1, 6, 1, 1, 0);
    int32_t result = -1;
    ThreadContext* before = reinterpret_cast<ThreadContext*>(1);
    ThreadContext* after = nullptr;
    std::thread loader([&] {
        before = peekThreadContext();
        result = libraryAttach();
        after = peekThreadContext();
    });
    loader.join();
    EXPECT_EQ(result, 1);
    EXPECT_EQ(before, nullptr);
    EXPECT_NE(after, nullptr);
    EXPECT_EQ(boundTransform(), variantEntries[variantForClass(4)]);
    EXPECT_TRUE(messages.empty());
}

TEST_F(FrameWaterfall, AttachWithoutMemoryForTheRecordFailsWithTheText) {
    fakeInfo = cpu(1, 6, 1, 1, 0);
    int32_t result = -1;
    ThreadContext* record = reinterpret_cast<ThreadContext*>(1);
    std::string err;
    ::testing::internal::CaptureStderr();
    std::thread loader([&] {
        setContextAllocFailure(true);
        result = libraryAttach();
        record = peekThreadContext();
        setContextAllocFailure(false);
    });
    loader.join();
    err = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(result, 0);
    EXPECT_EQ(record, nullptr);
    EXPECT_EQ(err, "Problem to allocate memory for TLS KFX context.\n");
}
#endif

}  // namespace
